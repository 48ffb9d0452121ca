#include "gui/form_dialog.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/form.h"
#include "assist/form6.h"
#include "gui/fonts.h"
#include "gui/qt_text.h"

namespace pado::gui {

FormDialog::FormDialog(App& app, Form& form, const DialogLayout& layout, QWidget* parent)
    : QDialog(parent)
    , app_(app)
    , form_(form)
    , layout_(layout)
{
    setObjectName(QString::fromStdString(form.Name()));
    setWindowTitle(ToQString(form.Caption()));
    setFont(LabelFont());
    setModal(true);

    for (const DialogLabel& d : layout_.labels) {
        auto* l = new QLabel(d.text, this);
        l->setGeometry(d.rect);
        l->setWordWrap(d.wrap);
        l->setAlignment(d.align);
        QFont f = l->font();
        f.setBold(d.heading);
        if (d.pointSize > 0)
            f.setPointSizeF(d.pointSize);
        l->setFont(f);
    }

    if (OptionGroup* g = form.Options()) {
        QWidget* holder = this;
        if (auto it = layout_.controls.find("Frame1"); it != layout_.controls.end()) {
            auto* frame = new QGroupBox(layout_.frameCaption, this);
            frame->setToolTip(layout_.toolTips.count("Frame1") ? layout_.toolTips.at("Frame1") : QString());
            frame->setGeometry(it->second);
            frame->lower();
        }
        optionGroup_ = new QButtonGroup(this);
        for (std::size_t i = 0; i < g->Captions().size(); ++i) {
            const std::string name = "Option" + std::to_string(i + 1);
            auto* r = new QRadioButton(ToQString(g->Captions()[i]), holder);
            r->setObjectName(QString::fromStdString(name));
            if (auto tip = layout_.toolTips.find(name); tip != layout_.toolTips.end())
                r->setToolTip(tip->second);
            r->setGeometry(Spot(name, { 160, 22 }));
            optionGroup_->addButton(r, static_cast<int>(i + 1));
            options_.push_back(r);
            connect(r, &QRadioButton::toggled, this, [this, name](bool on) {
                if (on && !applying_)
                    form_.Click(name);
            });
        }
        subscriptions_.emplace_back(g, g->Subscribe([this] { SyncFromModels(); }));
    }

    for (const auto& [name, model] : form.Boxes()) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromStdString(name));
        e->setGeometry(Spot(name, { 60, 20 }));
        TextBox* m = model;
        boxes_[name] = e;
        connect(e, &QLineEdit::textEdited, this, [this, m](const QString& s) {
            applying_ = true;
            m->SetText(FromQString(s));
            applying_ = false;
        });
        subscriptions_.emplace_back(m, m->Subscribe([this] {
            if (!applying_)
                SyncFromModels();
        }));
    }

    for (CommandButton* c : form.Commands()) {
        auto* b = new QPushButton(ToQString(c->Caption()), this);
        b->setObjectName(QString::fromStdString(c->Name()));
        if (auto tip = layout_.toolTips.find(c->Name()); tip != layout_.toolTips.end())
            b->setToolTip(tip->second);
        b->setGeometry(Spot(c->Name(), { 96, 28 }));
        b->setAutoDefault(false);
        b->setDefault(c->Name() == layout_.defaultCommand);
        const std::string name = c->Name();
        commands_[name] = b;
        connect(b, &QPushButton::clicked, this, [this, name] {
            form_.Click(name);
            FocusRefusedBox();
        });
    }
    if (layout_.arrange) {
        std::map<std::string, QWidget*> controls;
        for (auto& [name, b] : commands_)
            controls[name] = b;
        for (auto& [name, e] : boxes_)
            controls[name] = e;
        auto* content = new QWidget(this);
        content->setObjectName("Content");
        layout_.arrange(*content, controls);
        auto* outer = new QVBoxLayout(this);
        outer->setContentsMargins(0, 0, 0, 0);
        // On a small screen at a large scale the dialog may be taller than the screen; it then
        // scrolls, so that every box and button can still be reached.
        const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        const QSize room = screen ? screen->availableGeometry().size() - QSize(8, 40) : QSize(4096, 4096);
        const QSize want = content->sizeHint();
        if (want.width() <= room.width() && want.height() <= room.height()) {
            outer->addWidget(content);
            outer->setSizeConstraint(QLayout::SetFixedSize);
        } else {
            auto* scroll = new QScrollArea(this);
            scroll->setObjectName("Scroll");
            scroll->setWidget(content);
            scroll->setWidgetResizable(true);
            scroll->setFrameShape(QFrame::NoFrame);
            outer->addWidget(scroll);
            const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
            resize((want + QSize(bar + 2, bar + 2)).boundedTo(room));
        }
    } else {
        setFixedSize(layout_.client);
    }
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { app_.shell.OpenWebPage("file://" + app_.ManualPath()); });
    SyncFromModels();
}

FormDialog::~FormDialog()
{
    for (auto& [model, id] : subscriptions_)
        model->Unsubscribe(id);
}

void FormDialog::FocusRefusedBox()
{
    auto* params = dynamic_cast<Form6*>(&form_);
    if (!params || params->RefusedBox() < 0 || !isVisible())
        return;
    if (QLineEdit* e = Box("Text" + std::to_string(params->RefusedBox() + 1))) {
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
    }
}

QRect FormDialog::Spot(const std::string& name, QSize fallback)
{
    if (auto it = layout_.controls.find(name); it != layout_.controls.end())
        return it->second;
    QRect r(QPoint(layout_.client.width() - fallback.width() - 8, nextFreeTop_), fallback);
    nextFreeTop_ += fallback.height() + 4;
    return r;
}

void FormDialog::SyncFromModels()
{
    applying_ = true;
    if (OptionGroup* g = form_.Options()) {
        const int selected = g->Selected();
        if (selected >= 1 && selected <= static_cast<int>(options_.size())) {
            options_[static_cast<std::size_t>(selected - 1)]->setChecked(true);
        } else if (QAbstractButton* on = optionGroup_->checkedButton()) {
            // An exclusive group cannot show "none selected" until it stops being exclusive.
            optionGroup_->setExclusive(false);
            on->setChecked(false);
            optionGroup_->setExclusive(true);
        }
    }
    for (const auto& [name, model] : form_.Boxes()) {
        QLineEdit* e = boxes_[name];
        const QString want = ToQString(model->GetText());
        if (e->text() != want)
            e->setText(want);
    }
    applying_ = false;
}

QPushButton* FormDialog::Command(const std::string& name) const
{
    auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : it->second;
}

QRadioButton* FormDialog::Option(int index) const
{
    if (index < 1 || index > static_cast<int>(options_.size()))
        return nullptr;
    return options_[static_cast<std::size_t>(index - 1)];
}

QLineEdit* FormDialog::Box(const std::string& name) const
{
    auto it = boxes_.find(name);
    return it == boxes_.end() ? nullptr : it->second;
}

void FormDialog::FinishClosed()
{
    closing_ = true;
    done(QDialog::Rejected);
    hide();
    closing_ = false;
}

void FormDialog::reject()
{
    if (closing_) {
        QDialog::reject();
        return;
    }
    app_.Close(form_);
}

void FormDialog::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        event->accept();
        return;
    }
    event->ignore();
    app_.Close(form_);
}

} // namespace pado::gui
