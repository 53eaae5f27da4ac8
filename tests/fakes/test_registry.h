#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace zr::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

// The QtTest classes linked into this test executable, in registration order.
std::vector<TestFactory>& RegisteredTests();

inline bool RegisterTest(TestFactory make) {
    RegisteredTests().push_back(std::move(make));
    return true;
}

}  // namespace zr::test

// Adds a QtTest class to the executable; tests/test_main.cpp runs every class added.
#define ZR_TEST(Class)                                     \
    [[maybe_unused]] static const bool Class##Registered = \
        ::zr::test::RegisterTest([] { return std::unique_ptr<QObject>(std::make_unique<Class>()); })
