#include "output/KmlTemplateWriter.h"

#include "output/KmzArchive.h"
#include "output/OutputChooser.h"
#include "output/TextCleaning.h"
#include "platform/FileWriting.h"

#include <QFile>
#include <QFileInfo>

namespace waypost {
namespace {

const QString kLinkPrompt = QStringLiteral("Enter Web link (include 'http://') or Image Path");
const QString kCdataOpen = QStringLiteral("<![CDATA[");
const QString kCdataClose = QStringLiteral("]]>");

/// True when \p position of \p text lies inside an open CDATA section.
bool insideCdata(const QString& text, qsizetype position) {
    const qsizetype open = text.lastIndexOf(kCdataOpen, position);
    if (open < 0) return false;
    const qsizetype close = text.indexOf(kCdataClose, open);
    return close < 0 || close >= position;
}

}  // namespace

KmlTemplateWriter::KmlTemplateWriter(const Services& services) : m_services(services) {}

QString KmlTemplateWriter::linkHtml(const QString& linkText) {
    // A double quote in the link would end the href early; it is kept as &quot;.
    QString href = linkText;
    href.replace(u'"', QStringLiteral("&quot;"));
    return QStringLiteral("<a href=\"") + href + QStringLiteral("\">Display Link</a>");
}

QString KmlTemplateWriter::descriptionHtml(const QStringList& items, const QString& link) {
    QString html;
    for (const QString& item : items) html += QStringLiteral("<br>") + item + QStringLiteral("</br>");
    if (!link.isEmpty()) html += QStringLiteral("<br>") + link + QStringLiteral("</br>");
    return html;
}

QString KmlTemplateWriter::fillTemplate(const QString& templateText, const Fill& fill) {
    struct Token {
        const QString& token;
        const QString& value;
        enum { Text, Html, Markup } kind;
    };
    const Token tokens[] = {{kNameToken, fill.name, Token::Text},         {kDescriptionToken, fill.description, Token::Html},
                            {kLongitudeToken, fill.longitude, Token::Text}, {kLatitudeToken, fill.latitude, Token::Text},
                            {kIconToken, fill.iconPath, Token::Text},     {kRangeToken, fill.range, Token::Markup}};
    QString out;
    out.reserve(templateText.size() + fill.description.size() + 256);
    qsizetype i = 0;
    while (i < templateText.size()) {
        const Token* found = nullptr;
        for (const Token& t : tokens) {
            if (templateText.mid(i, t.token.size()) == t.token) {
                found = &t;
                break;
            }
        }
        if (!found) {
            out += templateText[i++];
            continue;
        }
        const bool cdata = insideCdata(templateText, i);
        switch (found->kind) {
        case Token::Markup: out += found->value; break;
        case Token::Html:
            out += cdata ? cdataSafe(found->value) : kCdataOpen + cdataSafe(found->value) + kCdataClose;
            break;
        case Token::Text: out += cdata ? cdataSafe(found->value) : xmlEscaped(found->value); break;
        }
        i += found->token.size();
    }
    return out;
}

QString KmlTemplateWriter::askForLink() {
    Prompter& prompter = m_services.prompter;
    if (prompter.question(QStringLiteral("Add Image or Web link?"), kAppTitle, Prompter::Icon::Question) !=
        Prompter::Answer::Yes)
        return {};
    const auto first = prompter.inputText(kLinkPrompt);
    const QString text = first.value_or(QString());
    if (!text.isEmpty()) return linkHtml(text);
    if (prompter.question(QStringLiteral("No Link Entered - Add Image or Web link?"), kAppTitle,
                          Prompter::Icon::Question) != Prompter::Answer::Yes)
        return {};
    // Until a link is typed or the input is cancelled.
    while (true) {
        const auto again = prompter.inputText(kLinkPrompt);
        if (!again) return {};
        if (!again->isEmpty()) return linkHtml(*again);
    }
}

void KmlTemplateWriter::failed(const QString& message) {
    m_services.prompter.message(message, kAppTitle, Prompter::Icon::Critical);
}

KmlTemplateWriter::Outcome KmlTemplateWriter::write(const KmlPlacemark& placemark,
                                                    const std::optional<PointFeature>& point) {
    Prompter& prompter = m_services.prompter;
    Prompter::FileDialog dialog;
    dialog.title = QStringLiteral("Save KML File");
    dialog.filter = kKmlOrKmzFilter;
    dialog.defaultExtension = QStringLiteral("kml");
    if (point) {
        dialog.filter += QStringLiteral(";;") + kPointFileFilter;
        dialog.otherExtensions = kPointFileExtensions;
    }
    dialog.fileName = placemark.defaultFileName;
    if (!m_lastPath.isEmpty()) dialog.folder = QFileInfo(m_lastPath).absolutePath();
    const auto path = chooseNewOutput(prompter, dialog);
    if (!path) return Outcome::Cancelled;
    m_lastPath = *path;
    if (point && isPointFilePath(*path)) {
        if (const WriteResult written = writePointFile(*path, *point); !written) {
            failed(written.message());
            return Outcome::Failed;
        }
        return Outcome::Written;
    }

    QString templateName = kPlainTemplate;
    if (!placemark.templateQuestion.isEmpty() &&
        prompter.question(placemark.templateQuestion, kAppTitle, Prompter::Icon::Question) == Prompter::Answer::Yes)
        templateName = placemark.yesTemplate;
    const QString templatePath = m_services.paths.templatesDir() + u'/' + templateName;
    QFile templateFile(templatePath);
    if (!templateFile.open(QIODevice::ReadOnly)) {
        failed(QStringLiteral("Could not read the KML template %1: %2").arg(templatePath, templateFile.errorString()));
        return Outcome::Failed;
    }
    const QString templateText = QString::fromUtf8(templateFile.readAll());
    templateFile.close();

    const QString link = askForLink();
    Fill fill;
    fill.name = placemark.placemarkName;
    fill.description = descriptionHtml(placemark.descriptionItems, link);
    fill.longitude = placemark.longitude;
    fill.latitude = placemark.latitude;
    fill.iconPath = m_services.paths.iconsDir() + u'/' + placemark.iconFile;
    fill.range = placemark.range;
    const QString kml = fillTemplate(templateText, fill) + QStringLiteral("\r\n");
    const WriteResult written = writeKmlOrKmz(*path, kml, m_services.paths.iconsDir());
    if (!written) {
        failed(written.message());
        return Outcome::Failed;
    }
    return Outcome::Written;
}

}  // namespace waypost
