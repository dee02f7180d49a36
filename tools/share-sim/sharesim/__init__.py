"""The loopback share service: catalogue, pages, API answers and transport."""
