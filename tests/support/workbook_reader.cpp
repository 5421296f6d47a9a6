#include "support/workbook_reader.h"

#include <QProcess>
#include <QStringList>
#include <QVector>
#include <QXmlStreamReader>

static QByteArray member(const QString &path, const QString &name) {
    QProcess unzip;
    unzip.start("unzip", {"-p", path, name});
    unzip.waitForFinished(10000);
    return unzip.readAllStandardOutput();
}

// "AB12" -> (12, 28)
static QPair<int, int> address(const QString &ref) {
    int column = 0, i = 0;
    while (i < ref.size() && ref[i].isLetter())
        column = column * 26 + (ref[i++].unicode() - 'A' + 1);
    return {ref.mid(i).toInt(), column};
}

WorkbookContents readWorkbook(const QString &path) {
    WorkbookContents out;
    const QByteArray sheet = member(path, "xl/worksheets/sheet1.xml");
    if (sheet.isEmpty())
        return out;

    QStringList shared;
    QXmlStreamReader strings(member(path, "xl/sharedStrings.xml"));
    QString current;
    bool inItem = false;
    while (!strings.atEnd()) {
        strings.readNext();
        if (strings.isStartElement() && strings.name() == QLatin1String("si")) {
            inItem = true;
            current.clear();
        } else if (strings.isStartElement() && strings.name() == QLatin1String("t") && inItem) {
            current += strings.readElementText();
        } else if (strings.isEndElement() && strings.name() == QLatin1String("si")) {
            shared << current;
            inItem = false;
        }
    }

    // Styles: which cell formats are bold and which carry the text number format.
    QVector<bool> boldFonts;
    QMap<int, QString> numberFormats;
    QVector<QPair<bool, bool>> xfs; // (bold, text)
    QXmlStreamReader styles(member(path, "xl/styles.xml"));
    bool inFonts = false, inCellXfs = false;
    while (!styles.atEnd()) {
        styles.readNext();
        const auto name = styles.name();
        if (styles.isStartElement()) {
            if (name == QLatin1String("numFmt"))
                numberFormats[styles.attributes().value("numFmtId").toInt()] =
                    styles.attributes().value("formatCode").toString();
            else if (name == QLatin1String("fonts"))
                inFonts = true;
            else if (name == QLatin1String("cellXfs"))
                inCellXfs = true;
            else if (inFonts && name == QLatin1String("font"))
                boldFonts << false;
            else if (inFonts && name == QLatin1String("b") && !boldFonts.isEmpty())
                boldFonts.last() = true;
            else if (inCellXfs && name == QLatin1String("xf")) {
                const int font = styles.attributes().value("fontId").toInt();
                const int fmt = styles.attributes().value("numFmtId").toInt();
                xfs << qMakePair(boldFonts.value(font),
                                 fmt == 49 || numberFormats.value(fmt) == QLatin1String("@"));
            }
        } else if (styles.isEndElement()) {
            if (name == QLatin1String("fonts"))
                inFonts = false;
            else if (name == QLatin1String("cellXfs"))
                inCellXfs = false;
        }
    }

    QXmlStreamReader xml(sheet);
    QPair<int, int> at;
    WorkbookCell cell;
    QString type;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("col")) {
            const auto a = xml.attributes();
            for (int c = a.value("min").toInt(); c <= a.value("max").toInt(); ++c)
                out.widths[c] = a.value("width").toDouble();
        } else if (xml.name() == QLatin1String("c")) {
            const auto a = xml.attributes();
            at = address(a.value("r").toString());
            type = a.value("t").toString();
            cell = WorkbookCell{};
            const auto style = xfs.value(a.value("s").toInt());
            cell.bold = style.first;
            cell.textFormat = style.second;
        } else if (xml.name() == QLatin1String("v")) {
            const QString v = xml.readElementText();
            cell.number = type.isEmpty() || type == QLatin1String("n");
            cell.text = type == QLatin1String("s") ? shared.value(v.toInt()) : v;
            out.cells[at] = cell;
        }
    }
    out.ok = true;
    return out;
}
