import os

import mibolan


def pytest_report_header(config):
    return f"mibolan from {mibolan.__file__}"


def pytest_sessionstart(session):
    # Run from a fresh environment, the module under test must be the installed wheel's.
    prefix = os.environ.get("MIBOLAN_EXPECT_PREFIX")
    if prefix and not os.path.realpath(mibolan.__file__).startswith(os.path.realpath(prefix)):
        raise RuntimeError(f"mibolan imported from {mibolan.__file__}, not from {prefix}")
