"""Fixtures of the end-to-end tests: a fresh Wine session per test and a folder for pictures."""

import re
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent))

from mail_support import running_dovecot  # noqa: E402
from tavik_harness import WineSession, default_artifacts_dir  # noqa: E402


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    # Lets the wine fixture see whether the test body failed, to keep a picture of the screen.
    outcome = yield
    report = outcome.get_result()
    setattr(item, f"report_{report.when}", report)


@pytest.fixture
def artifacts() -> Path:
    """The build tree's artifacts folder (TAVIK_ARTIFACTS): pictures kept after the run."""
    folder = default_artifacts_dir()
    folder.mkdir(parents=True, exist_ok=True)
    return folder


@pytest.fixture
def dovecot():
    """A private Dovecot holding the test user's INBOX."""
    yield from running_dovecot()


@pytest.fixture
def wine(request):
    """A fresh WineSession (own prefix, wineserver and Xvfb), closed however the test ends."""
    session = WineSession()
    try:
        yield session
    finally:
        try:
            report = getattr(request.node, "report_call", None)
            if report is not None and report.failed:
                name = re.sub(r"[^A-Za-z0-9_.-]+", "_", request.node.name)
                session.screenshot(default_artifacts_dir() / "failures" / f"{name}.png")
        except Exception:  # a missing picture must not hide the test's own failure
            pass
        finally:
            session.close()
