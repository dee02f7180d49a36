"""File contents behind the dlinks and the batch ZIP.

A file's bytes depend only on its fs_id: block i (32 bytes) is SHA-256 of "<fs_id>:<i>", cut to
the listed size. So any range can be made without holding the file.
"""
import functools
import hashlib
import io
import time
import zipfile

BLOCK = 32


def file_bytes(fs_id: int, size: int, start: int = 0, end: int = None) -> bytes:
    """Bytes start..end-1 of the file (end defaults to size)."""
    end = size if end is None else min(end, size)
    if start >= end:
        return b""
    first, last = start // BLOCK, (end - 1) // BLOCK
    data = b"".join(hashlib.sha256(f"{fs_id}:{i}".encode()).digest() for i in range(first, last + 1))
    offset = first * BLOCK
    return data[start - offset:end - offset]


@functools.lru_cache(maxsize=4096)
def file_md5(fs_id: int, size: int) -> str:
    return hashlib.md5(file_bytes(fs_id, size)).hexdigest()


def _zip_time(mtime: int):
    # ZIP stores local wall-clock time; the service's users live at UTC+8.
    return time.gmtime(mtime + 8 * 3600)[:6]


def _add(archive: zipfile.ZipFile, entry, prefix: str):
    name = prefix + entry.name
    if entry.isdir:
        info = zipfile.ZipInfo(name + "/", _zip_time(entry.mtime))
        info.external_attr = 0o40755 << 16 | 0x10
        archive.writestr(info, b"")
        for child in entry.children:
            _add(archive, child, name + "/")
    else:
        info = zipfile.ZipInfo(name, _zip_time(entry.mtime))
        info.external_attr = 0o644 << 16
        archive.writestr(info, file_bytes(entry.fs_id, entry.size), zipfile.ZIP_STORED)


def batch_zip(entries) -> bytes:
    """A stored ZIP of the chosen entries; folders with everything below them."""
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", zipfile.ZIP_STORED) as archive:
        for entry in entries:
            _add(archive, entry, "")
    return buf.getvalue()
