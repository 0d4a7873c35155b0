#include "filesync.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include <cerrno>
#include <unistd.h>

struct FileSync::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
    bool requested = false;
    bool ending = false;
    std::function<void(const QString &)> onFailure;
};

FileSync::FileSync(int fd, std::function<void(const QString &reason)> onFailure)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->onFailure = std::move(onFailure);
    const int own = ::dup(fd);
    std::thread([shared = m_shared, own] {
        std::unique_lock<std::mutex> lock(shared->mutex);
        for (;;) {
            shared->wake.wait(lock, [&] { return shared->requested || shared->ending; });
            if (!shared->requested)
                break;
            shared->requested = false;
            lock.unlock();
            const int error = own < 0 || ::fdatasync(own) == 0 ? 0 : errno;
            lock.lock();
            if (own < 0 || error != 0) {
                if (shared->onFailure)
                    shared->onFailure(qt_error_string(own < 0 ? EBADF : error));
                shared->onFailure = nullptr;
                break;
            }
        }
        lock.unlock();
        if (own >= 0)
            ::close(own);
    }).detach();
}

// The last requested sync still runs; its outcome goes to no one.
FileSync::~FileSync()
{
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->onFailure = nullptr;
    m_shared->ending = true;
    m_shared->wake.notify_one();
}

void FileSync::request()
{
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->requested = true;
    m_shared->wake.notify_one();
}
