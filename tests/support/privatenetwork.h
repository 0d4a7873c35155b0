#pragma once

#include <QString>

#include <optional>

// A network namespace of the test program's own, with loopback up and the default route on it:
// a broadcast to 255.255.255.255 then reaches listeners on 0.0.0.0 inside it and nothing on the
// host's network. Test programs whose code broadcasts run themselves inside one.
class PrivateNetwork
{
public:
    static constexpr int childBoundMs = 10 * 60 * 1000;

    // Call once the application object exists. Outside a namespace, runs this program again
    // inside a new one and returns its exit status. Inside one, or where none can be made,
    // returns nothing and the caller runs its tests here.
    static std::optional<int> runInside();

    static bool isInside();
    // Why no namespace could be made; empty inside one.
    static QString unavailableReason();

private:
    static QString s_unavailableReason;
};

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
