#include "gui/help_viewer.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "gui/screen_fit.h"

namespace pado::gui {

HelpViewer::HelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName("Help");
    setWindowTitle(QStringLiteral("PADO マニュアル"));
    auto* box = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* back = new QPushButton(QStringLiteral("戻る"), this);
    auto* forward = new QPushButton(QStringLiteral("進む"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    row->addWidget(back);
    row->addWidget(forward);
    row->addStretch(1);
    row->addWidget(close);
    box->addLayout(row);
    browser_ = new QTextBrowser(this);
    // Pages of the manual open here; a web address goes to no browser from here, it is only shown.
    browser_->setOpenExternalLinks(false);
    browser_->setOpenLinks(true);
    box->addWidget(browser_, 1);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    FitWindowToScreen(this, QSize(900, 720));
}

void HelpViewer::Open(const QString& file)
{
    if (QFileInfo(file).isFile()) {
        browser_->setSearchPaths({ QFileInfo(file).absolutePath() });
        browser_->setSource(QUrl::fromLocalFile(file));
    } else {
        browser_->setPlainText(QStringLiteral("マニュアルが見つかりません: ") + file);
    }
    show();
    raise();
    activateWindow();
    browser_->setFocus();
}

} // namespace pado::gui
