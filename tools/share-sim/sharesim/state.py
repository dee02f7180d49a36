"""What the simulator remembers between requests: recorded requests, captchas it issued, the
BDCLND values its password checks set, the rate count, scenarios and settings."""
import collections
import threading

SCENARIOS = ("html_api", "reset_api", "stall_api", "decoy_cookie", "content_location")
DEFAULT_SETTINGS = {"rate_limit": 10, "sign_ttl": 28800, "stall_seconds": 5}
SETTING_LIMITS = {"rate_limit": (0, 1000000), "sign_ttl": (0, 10**9), "stall_seconds": (0, 60)}
MAX_RECORDS = 20000


class SimState:
    def __init__(self):
        self.lock = threading.Lock()
        self.stopping = threading.Event()
        self.reset()

    def reset(self):
        with self.lock:
            self.records = collections.deque(maxlen=MAX_RECORDS)
            self.seq = 0
            self.captchas = collections.OrderedDict()  # vcode_str -> code
            self.sessions = {}  # BDCLND value as set -> share id
            self.rate_count = 0
            self.scenarios = {name: False for name in SCENARIOS}
            self.settings = dict(DEFAULT_SETTINGS)

    # Recorded requests.
    def record(self, entry: dict) -> dict:
        with self.lock:
            self.seq += 1
            entry["seq"] = self.seq
            self.records.append(entry)
        return entry

    def recorded(self):
        with self.lock:
            return list(self.records)

    # Scenarios and settings.
    def on(self, scenario: str) -> bool:
        return self.scenarios.get(scenario, False)

    def setting(self, name: str) -> int:
        return self.settings[name]

    def set_setting(self, name: str, value: int):
        low, high = SETTING_LIMITS[name]
        self.settings[name] = max(low, min(high, value))

    # Captchas: each one answers a single download request.
    def issue_captcha(self, vcode_str: str, code: str):
        with self.lock:
            self.captchas[vcode_str] = code
            while len(self.captchas) > 1000:
                self.captchas.popitem(last=False)

    def captcha_code(self, vcode_str: str = None):
        with self.lock:
            if vcode_str is None:
                return next(reversed(self.captchas.items()), (None, None))
            return vcode_str, self.captchas.get(vcode_str)

    def use_captcha(self, vcode_str: str, answer: str) -> bool:
        with self.lock:
            code = self.captchas.pop(vcode_str, None)
            if code is None or code.lower() != answer.lower():
                return False
            self.rate_count = 0
            return True

    def count_uncaptcha_request(self) -> bool:
        """False when the rate limit is reached; otherwise counts one more request."""
        with self.lock:
            limit = self.settings["rate_limit"]
            if limit and self.rate_count >= limit:
                return False
            self.rate_count += 1
            return True

    # Password sessions.
    def open_session(self, value: str, share_id: str):
        with self.lock:
            self.sessions[value] = share_id

    def session_share(self, value: str):
        with self.lock:
            return self.sessions.get(value)

    def session_values(self, share_id: str):
        with self.lock:
            return [v for v, s in self.sessions.items() if s == share_id]
