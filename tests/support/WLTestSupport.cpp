#include "WLTestSupport.h"

#include <QRegularExpression>

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
    const long end = std::ftell(m_file);
    QByteArray bytes;
    std::rewind(m_file);
    bytes.resize(end);
    const size_t read = std::fread(bytes.data(), 1, size_t(end), m_file);
    bytes.resize(qsizetype(read));
    std::fseek(m_file, 0, SEEK_END);
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
