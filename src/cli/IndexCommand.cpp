#include "WLCliContext.h"
#include "WLCommand.h"
#include "WLDatabase.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

class IndexCommand : public WLCommand
{
public:
    QString name() const override { return QStringLiteral("index"); }
    QString arguments() const override { return QStringLiteral("[SECTION]"); }
    QString summary() const override
    {
        return QStringLiteral("the sections of the index, or the headwords of one");
    }
    QString description() const override
    {
        return QStringLiteral(
            "Without SECTION, lists the sections of the headword index (the letters beside the "
            "reader's index list) with the ID of the first headword of each and their sizes. "
            "With SECTION, given by its number from 0 or by its name, lists the headwords of "
            "that section with their IDs, which entry takes.");
    }
    QStringList examples() const override
    {
        return {QStringLiteral("wldict index"), QStringLiteral("wldict index 3"),
                QStringLiteral("wldict index B")};
    }

    int run(WLCliContext &context, const QStringList &arguments) override
    {
        if (arguments.size() > 1)
            return context.usage(*this, QStringLiteral("takes at most one section"));
        WLDatabase *database = context.database();
        if (!database)
            return 1;
        if (arguments.isEmpty())
            return listSections(context, *database);

        const QString &wanted = arguments.first();
        const QList<WLSectionRecord> &sections = database->headwordSections();
        bool isNumber = false;
        qsizetype section = wanted.toUInt(&isNumber);
        if (!isNumber) {
            section = -1;
            for (qsizetype i = 0; i < sections.size() && section < 0; ++i) {
                if (sections[i].letter.compare(wanted, Qt::CaseInsensitive) == 0)
                    section = i;
            }
        }
        if (section < 0 || section >= sections.size())
            return context.fail(QStringLiteral("no section \"%1\" (there are %2)")
                                    .arg(wanted)
                                    .arg(sections.size()));
        return listWords(context, *database, uint(section));
    }

private:
    static constexpr uint kMaxUnreadableRun = 100;

    static void flush(WLCliContext &context, const QJsonArray &array, const QList<QStringList> &rows)
    {
        if (context.json())
            context.writeJson(array);
        else
            context.writeTable(rows, {0});
    }

    int listSections(WLCliContext &context, const WLDatabase &database)
    {
        const QList<WLSectionRecord> &sections = database.headwordSections();
        if (context.json()) {
            QJsonArray array;
            for (const WLSectionRecord &section : sections)
                array.append(QJsonObject{{QStringLiteral("name"), section.letter},
                                         {QStringLiteral("offset"), section.offset},
                                         {QStringLiteral("count"), section.count}});
            context.writeJson(array);
            return 0;
        }
        QList<QStringList> rows{{QStringLiteral("#"), QStringLiteral("Section"),
                                 QStringLiteral("First ID"), QStringLiteral("Count")}};
        for (qsizetype i = 0; i < sections.size(); ++i)
            rows.append({QString::number(i), sections[i].letter, QString::number(sections[i].offset),
                         QString::number(sections[i].count)});
        context.writeTable(rows, {0, 2, 3});
        return 0;
    }

    int listWords(WLCliContext &context, WLDatabase &database, uint section)
    {
        QJsonArray array;
        QList<QStringList> rows{{QStringLiteral("ID"), QStringLiteral("Headword")}};
        bool complete = true;
        uint failedInARow = 0;
        const uint count = database.itemCountOfHeadwordSectionAtIndex(section);
        for (uint row = 0; row < count; ++row) {
            const int id = database.itemIDAtIndexOfHeadwordSectionAtIndex(row, section);
            const QString word = database.itemNameAtIndexOfHeadwordSectionAtIndex(row, section);
            if (word.isNull()) {
                complete = false;
                // A damaged section table can claim billions of rows past the
                // end of the headwords; give up rather than walk them all.
                if (++failedInARow == kMaxUnreadableRun) {
                    flush(context, array, rows);
                    const uint firstFailed = row + 1 - kMaxUnreadableRun;
                    return context.fail(
                        QStringLiteral("headwords from row %1 of the section on cannot be read")
                            .arg(firstFailed + 1));
                }
                continue;
            }
            failedInARow = 0;
            array.append(QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("word"), word}});
            rows.append({QString::number(id), word});
        }
        flush(context, array, rows);
        if (!complete)
            return context.fail(QStringLiteral("some headwords of the section cannot be read"));
        return 0;
    }
};

} // namespace

WL_REGISTER_COMMAND(IndexCommand)
