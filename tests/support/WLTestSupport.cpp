#include "WLTestSupport.h"

#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

StderrCapture::StderrCapture()
{
    std::fflush(stderr);
    m_file = std::tmpfile();
    m_savedFd = dup(STDERR_FILENO);
    if (m_file)
        dup2(fileno(m_file), STDERR_FILENO);
}

StderrCapture::~StderrCapture()
{
    std::fflush(stderr);
    if (m_savedFd >= 0) {
        dup2(m_savedFd, STDERR_FILENO);
        close(m_savedFd);
    }
    if (m_file)
        std::fclose(m_file);
}

QString StderrCapture::text()
{
    if (!m_file)
        return {};
    std::fflush(stderr);
    // Read through the descriptor: the FILE's cached offset does not see
    // what was written to descriptor 2 after an earlier call.
    const int fd = fileno(m_file);
    struct stat status;
    if (fstat(fd, &status) != 0)
        return {};
    QByteArray bytes(qsizetype(status.st_size), Qt::Uninitialized);
    const ssize_t read = pread(fd, bytes.data(), size_t(bytes.size()), 0);
    bytes.resize(read > 0 ? qsizetype(read) : 0);
    return QString::fromUtf8(bytes);
}

QStringList StderrCapture::reports()
{
    return withoutLineNumbers(text());
}

QStringList withoutLineNumbers(const QString &text)
{
    static const QRegularExpression lineNumber(QStringLiteral("^(\\S.*?) \\d+: "));
    QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line.replace(lineNumber, QStringLiteral("\\1: "));
    return lines;
}
