#pragma once

#include <QByteArray>
#include <QString>

// A log file that grows by whole lines only. Each append reaches the file in one system call,
// written through with no buffer of the program's own, so a killed program leaves every line
// it wrote complete; an append that fails part way (a full disk) is taken back, so the file
// still ends with a whole line.
class AppendFile
{
public:
    AppendFile() = default;
    AppendFile(const AppendFile &) = delete;
    AppendFile &operator=(const AppendFile &) = delete;
    ~AppendFile();

    // Creates the file, or empties it; only a regular file is opened.
    bool open(const QString &path);
    bool append(const QByteArray &lines);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    int handle() const { return m_fd; }
    QString errorString() const { return m_error; }

private:
    bool fail(int error);

    int m_fd = -1;
    qint64 m_size = 0; // where the last whole line ends
    QString m_error;
};
