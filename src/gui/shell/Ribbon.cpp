#include "shell/Ribbon.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "shell/CommandTable.h"
#include "shell/PaletteIcons.h"

namespace velkor::gui {

namespace {
QColor PanelColour(const QString& category) {
    if (category == QStringLiteral("主页")) return QColor(46, 110, 170);
    if (category == QStringLiteral("多选设备")) return QColor(60, 140, 90);
    return QColor(150, 80, 40);
}
}  // namespace

Ribbon::Ribbon(Sink sink, QWidget* parent) : QTabWidget(parent), sink_(std::move(sink)) {
    setDocumentMode(true);
    std::map<QString, QWidget*> pages;
    std::map<QString, QHBoxLayout*> rows;
    for (const RibbonPanel& rp : RibbonLayout()) {
        const QString category = QString::fromUtf8(rp.category);
        if (!pages.count(category)) {
            auto* page = new QWidget(this);
            auto* row = new QHBoxLayout(page);
            row->setContentsMargins(4, 2, 4, 2);
            row->setSpacing(6);
            row->addStretch(1);
            pages[category] = page;
            rows[category] = row;
            addTab(page, category);
        }
        auto* panel = new QFrame(pages[category]);
        panel->setFrameShape(QFrame::StyledPanel);
        auto* column = new QVBoxLayout(panel);
        column->setContentsMargins(3, 3, 3, 1);
        column->setSpacing(1);
        std::vector<const CommandInfo*> entries;
        for (const CommandInfo& c : CommandTable()) {
            if (std::string_view(c.category) == rp.category &&
                std::string_view(c.panel) == rp.panel) {
                entries.push_back(&c);
            }
        }
        // Large buttons, icon over text; a crowded panel gets small ones in
        // three rows, as ribbons do.
        const bool small = entries.size() > 6;
        auto* grid = new QGridLayout;
        grid->setSpacing(1);
        int index = 0;
        for (const CommandInfo* entry : entries) {
            const CommandInfo& c = *entry;
            auto* b = new QToolButton(panel);
            const QString text = QString::fromUtf8(c.text);
            b->setText(text);
            b->setToolTip(text);
            b->setToolButtonStyle(small ? Qt::ToolButtonTextBesideIcon
                                        : Qt::ToolButtonTextUnderIcon);
            b->setAutoRaise(true);
            b->setCheckable(c.checkable);
            b->setIconSize(small ? QSize(16, 16) : QSize(32, 32));
            if (small) {
                b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
                grid->addWidget(b, index % 3, index / 3);
            } else {
                b->setMinimumWidth(48);
                grid->addWidget(b, 0, index);
            }
            ++index;
            const bool palette = c.id >= 32797 && c.id <= 32835;
            b->setIcon(palette ? PaletteIcon(c.id - 32797)
                               : GlyphIcon(text, PanelColour(category)));
            const int id = c.id;
            connect(b, &QToolButton::clicked, this, [this, id] { sink_(id); });
            buttons_.emplace(id, b);
            if (!categoryOf_.count(id)) categoryOf_[id] = indexOf(pages[category]);
        }
        column->addLayout(grid);
        auto* caption = new QLabel(QString::fromUtf8(rp.panel), panel);
        caption->setAlignment(Qt::AlignCenter);
        caption->setStyleSheet(QStringLiteral("color: #555;"));
        column->addWidget(caption);
        rows[category]->insertWidget(rows[category]->count() - 1, panel);
    }
    setFixedHeight(sizeHint().height());
}

void Ribbon::UpdateStates(const CommandRouter& router, bool stationOpen) {
    for (auto& [id, button] : buttons_) {
        const CommandState s = router.State(id);
        button->setEnabled(s.enabled);
        if (button->isCheckable()) button->setChecked(s.checked);
        // A disabled button says why.
        QString tip = button->text();
        if (!s.enabled) {
            const CommandInfo* info = FindCommand(id);
            const bool needsStation =
                info && info->target != Target::MainFrame && info->target != Target::Application;
            const char* why = s.why                            ? s.why
                              : (needsStation && !stationOpen) ? "没有打开的车站"
                                                               : "本功能尚未提供";
            tip += QStringLiteral("（%1）").arg(QString::fromUtf8(why));
        }
        if (button->toolTip() != tip) button->setToolTip(tip);
    }
}

std::vector<QToolButton*> Ribbon::Buttons(int id) const {
    std::vector<QToolButton*> out;
    auto range = buttons_.equal_range(id);
    for (auto it = range.first; it != range.second; ++it) out.push_back(it->second);
    return out;
}

int Ribbon::CategoryOf(int id) const {
    auto it = categoryOf_.find(id);
    return it == categoryOf_.end() ? -1 : it->second;
}

}  // namespace velkor::gui
