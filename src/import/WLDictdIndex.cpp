#include "WLDictdIndex.h"

#include "WLProgress.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int digitValue(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

std::optional<quint64> WLDictdIndex::decodeNumber(QByteArrayView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (const char c : digits) {
        const int digit = digitValue(c);
        if (digit < 0 || value > (~quint64(0) >> 6))
            return std::nullopt;
        value = (value << 6) | quint64(digit);
    }
    return value;
}

QByteArray WLDictdIndex::encodeNumber(quint64 value)
{
    QByteArray digits;
    do {
        digits.prepend(kDigits[value & 63]);
        value >>= 6;
    } while (value);
    return digits;
}

bool WLDictdIndex::read(const QString &path, std::vector<WLDictdIndexEntry> &entries,
                        QString *error, qsizetype *skipped, WLProgressMeter *meter)
{
    WLProgressMeter silent(nullptr);
    WLProgressMeter::Counter read(meter ? *meter : silent);
    if (skipped)
        *skipped = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"%1: %2"_s.arg(path, file.errorString());
        return false;
    }
    entries.clear();
    qsizetype lineNumber = 0;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        ++lineNumber;
        read.step(line.size());
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split('\t');
        const auto fail = [&](const QString &what) {
            *error = u"%1:%2: %3"_s.arg(path, QString::number(lineNumber), what);
            return false;
        };
        if (fields.size() < 3 || fields.size() > 4)
            return fail(u"expected headword, offset and length separated by tabs"_s);
        const auto offset = decodeNumber(fields[1]);
        const auto length = decodeNumber(fields[2]);
        if (!offset || !length)
            return fail(u"bad base64 number"_s);
        QByteArray headword = fields.size() == 4 && !fields[3].isEmpty() ? fields[3] : fields[0];
        if (headword.trimmed().isEmpty()) {
            if (skipped)
                ++*skipped;
            continue;
        }
        entries.push_back({std::move(headword), *offset, *length, lineNumber});
    }
    if (file.error() != QFileDevice::NoError) {
        *error = u"%1: %2"_s.arg(path, file.errorString());
        return false;
    }
    return true;
}
