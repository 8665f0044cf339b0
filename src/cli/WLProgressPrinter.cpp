#include "WLProgressPrinter.h"

#include "WLDictionaryCompiler.h"

#include <unistd.h>

bool WLProgressPrinter::isTerminal(std::FILE *file)
{
    return isatty(fileno(file)) == 1;
}

void WLProgressPrinter::progress(const QString &phase, qint64 done, qint64 total)
{
    if (m_lines) {
        std::fprintf(m_out, "progress\t%s\t%lld\t%lld\n", QString(phase).replace(u'\t', u' ').toUtf8().constData(),
                     static_cast<long long>(done), static_cast<long long>(total));
        std::fflush(m_out);
        return;
    }
    if (!m_terminal)
        return;
    QString line = phase;
    if (total > 0)
        line += QStringLiteral(": %1%").arg(std::min<qint64>(100, done * 100 / total));
    else if (done > 0)
        line += QStringLiteral(": %1").arg(done);
    // Back to the start of the line, the text, the rest of the old one gone.
    std::fprintf(m_out, "\r%s\x1b[K", line.toUtf8().constData());
    std::fflush(m_out);
    m_drawn = true;
}

void WLProgressPrinter::finish()
{
    if (!m_drawn)
        return;
    std::fputs("\r\x1b[K", m_out);
    std::fflush(m_out);
    m_drawn = false;
}

QString WLProgressPrinter::seconds(qint64 milliseconds)
{
    return QStringLiteral("%1 s").arg(double(milliseconds) / 1000.0, 0, 'f', 1);
}

QString WLProgressPrinter::buildSummary(const QString &bundle, const WLBuildSummary &summary,
                                        qint64 milliseconds)
{
    // The folder's name takes no part in the format.
    return bundle + QStringLiteral(": %1 headwords, %2 fragments (%3 stored), %4 MB in %5")
                        .arg(summary.headwords)
                        .arg(summary.fragments)
                        .arg(summary.storedFragments)
                        .arg(double(summary.bytes) / 1e6, 0, 'f', 1)
                        .arg(seconds(milliseconds));
}
