#include "QtTextMetrics.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QString>

namespace velkor {

QFont ToQFont(const FontDesc& font) {
    QFont f;
    const QString face =
        QString::fromUtf16(font.FaceName().data(), static_cast<qsizetype>(font.FaceName().size()));
    QStringList families;
    if (!face.isEmpty()) families << face;
    families << QStringLiteral("WenQuanYi Micro Hei") << QStringLiteral("Noto Sans CJK SC")
             << QStringLiteral("Noto Sans CJK") << QStringLiteral("DejaVu Sans");
    f.setFamilies(families);
    f.setPixelSize(font.PixelHeight());
    f.setWeight(font.weight >= 700 ? QFont::Bold : QFont::Normal);
    f.setItalic(font.italic != 0);
    f.setUnderline(font.underline != 0);
    f.setStrikeOut(font.strikeOut != 0);
    return f;
}

Size QtTextMetrics::Extent(std::u16string_view text, const FontDesc& font) const {
    const QFontMetrics m(ToQFont(font));
    const QString s = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    return {m.horizontalAdvance(s), m.height()};
}

const TextMetrics& UseQtTextMetrics() {
    static const QtTextMetrics metrics;
    if (QCoreApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "velkor-cli";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
    return metrics;
}

}  // namespace velkor
