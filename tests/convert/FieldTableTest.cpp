// A document of a form of its own, with thirty fields, through tesseldoc-cli
// and the real office: its header table is whole in every output format.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kCli = QStringLiteral(TESSELDOC_CLI);

QString runText(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(600000)) {
        p.kill();
        p.waitForFinished();
        if (exitCode) *exitCode = -1;
        return QString();
    }
    if (exitCode) *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
}

// A Notes XML database with one view of everything and one recipe document:
// a title, 29 more fields, a bookkeeping item and two rich-text items.
QByteArray recipeDatabase() {
    QByteArray x =
        "<?xml version='1.0' encoding='utf-8'?>\n"
        "<database xmlns='http://www.lotus.com/dxl' version='9.0' replicaid='C1257A5B0036E6F9' title='Recipes'>\n"
        "<view name='All Recipes'><noteinfo noteid='10' unid='AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA1' sequence='1'/>\n"
        "<code event='selection'><formula>SELECT @All</formula></code>\n"
        "<column itemname='Title'><columnheader title='Title'/></column></view>\n"
        "<document form='Recipe'><noteinfo noteid='20' unid='BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB2' sequence='1'/>\n"
        "<item name='Form'><text>Recipe</text></item>\n"
        "<item name='Title'><text>Pancakes</text></item>\n";
    for (int i = 1; i <= 29; ++i)
        x += QStringLiteral("<item name='Field%1'><text>Value number %1</text></item>\n").arg(i, 2, 10, QChar('0')).toUtf8();
    x += "<item name='$UpdatedBy'><text>CN=Admin/O=Acme</text></item>\n"
         "<item name='Body'><richtext><par>Beat the eggs.</par></richtext></item>\n"
         "<item name='Details'><richtext><par>Serve warm.</par></richtext></item>\n"
         "</document>\n</database>\n";
    return x;
}

QStringList missingLines(const QString& text) {
    QStringList missing;
    const QString flat = QString(text).replace(QRegularExpression("\\s+"), " ");
    if (!flat.contains("Title Pancakes")) missing << "Title Pancakes";
    for (int i = 1; i <= 29; ++i) {
        const QString n = QStringLiteral("%1").arg(i, 2, 10, QChar('0'));
        const QString line = QStringLiteral("Field%1 Value number %1").arg(n);
        if (!flat.contains(line)) missing << line;
    }
    for (const char* body : {"Beat the eggs.", "Details", "Serve warm."})
        if (!flat.contains(QString::fromLatin1(body))) missing << body;
    if (flat.contains("UpdatedBy")) missing << "(bookkeeping shown)";
    return missing;
}

}  // namespace

TEST(FieldTable, ThirtyFieldsAreWholeInDocDocxAndPdf) {
    for (const char* tool : {"pdftotext", "unzip", "catdoc"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is missing";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString db = dir.path() + "/recipes.dxl";
    {
        QFile f(db);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(recipeDatabase());
    }
    for (const char* format : {"doc", "docx", "pdf"}) {
        SCOPED_TRACE(format);
        const QString out = dir.path() + "/out-" + QString::fromLatin1(format);
        int code = -1;
        const QString log = runText(kCli, {"convert", db, out, "--folder", "All Recipes", "--mode", "rtf-low",
                                           "--format", QString::fromLatin1(format)},
                                    &code);
        ASSERT_EQ(code, 0) << log.toStdString();
        const QString file = out + "/All Recipes/Pancakes." + QString::fromLatin1(format);
        ASSERT_TRUE(QFile::exists(file)) << log.toStdString();
        QString text;
        if (QLatin1String(format) == "doc") {
            text = runText("catdoc", {"-w", file});
        } else if (QLatin1String(format) == "docx") {
            QString xml = runText("unzip", {"-p", file, "word/document.xml"});
            EXPECT_EQ(xml.count("<w:tr>") + xml.count("<w:tr "), 30);
            xml.replace("</w:tc>", " ").replace("</w:p>", "\n");
            text = xml.remove(QRegularExpression("<[^>]*>"));
        } else {
            text = runText("pdftotext", {"-layout", "-enc", "UTF-8", file, "-"});
        }
        EXPECT_EQ(missingLines(text), QStringList()) << text.toStdString();
    }
}
