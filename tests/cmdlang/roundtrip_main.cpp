#include <QtTest>

#include "test_roundtrip.h"

QTEST_APPLESS_MAIN(RoundTripTest)
