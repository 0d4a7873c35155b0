#pragma once

#include <QString>

#include <functional>
#include <memory>

// Puts a file's written data on its disk off the calling thread, so that the GUI thread never
// waits for a slow disk or a USB stick: each request asks for one more fdatasync after the
// data written so far; requests that come while one runs are served by the next. The worker
// holds a descriptor of its own and ends by itself after its owner has gone.
class FileSync
{
public:
    // `onFailure` runs on the worker thread with the system's reason; it is not called again,
    // nor after the owner has gone.
    FileSync(int fd, std::function<void(const QString &reason)> onFailure);
    FileSync(const FileSync &) = delete;
    FileSync &operator=(const FileSync &) = delete;
    ~FileSync();

    void request();

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
