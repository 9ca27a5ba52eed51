#include "notes/mime/MimeBodyConverter.h"

#include "notes/mime/HtmlToRichText.h"

namespace mime {

std::vector<store::RtBlock> MimeBodyConverter::textBlocks(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (t.endsWith(QLatin1Char('\n'))) t.chop(1);
    std::vector<store::RtBlock> blocks;
    if (t.isEmpty()) return blocks;
    for (const QString& line : t.split(QLatin1Char('\n'))) {
        store::RtBlock block;
        const QStringList pieces = line.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0) {
                store::RtRun tab;
                tab.kind = store::RtRun::Kind::Tab;
                block.runs.push_back(tab);
            }
            if (pieces[i].isEmpty()) continue;
            store::RtRun run;
            run.text = pieces[i];
            block.runs.push_back(std::move(run));
        }
        blocks.push_back(std::move(block));
    }
    return blocks;
}

store::RtBlock MimeBodyConverter::problemBlock(const QStringList& problems) {
    store::RtBlock block;
    store::RtRun run;
    run.text = QStringLiteral("[Part of this message could not be read: %1]").arg(problems.join(QLatin1Char(' ')));
    run.font.italic = true;
    run.font.hasColor = true;
    run.font.rgb = 0x808080;
    block.runs.push_back(std::move(run));
    return block;
}

store::RichTextDoc MimeBodyConverter::convert(const MimeEntity& message, QStringList& problems) {
    problems += message.allProblems();
    store::RichTextDoc doc;
    const MimeEntity* html = message.findText(QStringLiteral("html"));
    const MimeEntity* plain = message.findText(QStringLiteral("plain"));
    QString plainText;
    if (plain) {
        QString problem;
        plainText = plain->text(&problem);
        if (!problem.isEmpty()) problems << problem;
    }
    if (html) {
        doc = HtmlToRichText::convert(html->body, html->charset, HtmlToRichText::resolverFor(message), &problems);
        if (plain) {
            plainText.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
            while (plainText.endsWith(QLatin1String("\r\n"))) plainText.chop(2);
            doc.plainAlternative = plainText;
        }
    } else if (plain) {
        doc.blocks = textBlocks(plainText);
    }
    problems.removeDuplicates();
    return doc;
}

}  // namespace mime
