#pragma once

#include <QString>

#include <optional>

// A network namespace of the test program's own, loopback up and the default route on it: a
// broadcast to 255.255.255.255 reaches listeners on 0.0.0.0 inside it and nothing on the host's
// network. Test programs whose code broadcasts run themselves inside one.
namespace PrivateNetwork {

// Outside a namespace, runs this program again inside a new one and returns its exit status;
// inside one, or where none can be made, returns nothing and the tests run here.
std::optional<int> runInside();
bool isInside();
// Why no namespace could be made.
QString unavailableReason();

} // namespace PrivateNetwork

// QTEST_MAIN, inside a private network where one can be made.
#define VKT_PRIVATE_NETWORK_TEST_MAIN(AppClass, TestObject)                                        \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        AppClass app(argc, argv);                                                                  \
        if (const std::optional<int> status = PrivateNetwork::runInside())                         \
            return *status;                                                                        \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// Skips a test that broadcasts when it is not inside a namespace.
#define VKT_REQUIRE_PRIVATE_NETWORK()                                                              \
    if (!PrivateNetwork::isInside())                                                               \
    QSKIP(qPrintable("no network namespace of its own: " + PrivateNetwork::unavailableReason()))
