#pragma once

#include <QDialog>
#include <map>
#include <string>

#include "gui/dialog_layouts.h"
#include "platform/controls.h"

class QAbstractButton;
class QButtonGroup;
class QLineEdit;
class QRadioButton;
class QPushButton;

namespace pado {
class App;
class Form;
} // namespace pado

namespace pado::gui {

// A dialog bound to one form: option buttons, text boxes and command buttons from the form's
// registry, placed by the dialog's layout, with the layout's headings and explanations. Every way
// of closing (the close box, Escape) goes through the form, which runs its QueryUnload.
class FormDialog : public QDialog {
    Q_OBJECT
public:
    FormDialog(App& app, Form& form, const DialogLayout& layout, QWidget* parent = nullptr);
    ~FormDialog() override;

    Form& GetForm() { return form_; }
    QPushButton* Command(const std::string& name) const;
    QRadioButton* Option(int index) const; // 1-based
    QLineEdit* Box(const std::string& name) const;
    void SyncFromModels();
    // Ends the dialog without asking the form (the form has already agreed to close).
    void FinishClosed();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // After "変更" refused a box, the cursor goes to it with its text selected for retyping.
    void FocusRefusedBox();
    QRect Spot(const std::string& name, QSize fallback);

    App& app_;
    Form& form_;
    DialogLayout layout_;
    std::map<std::string, QPushButton*> commands_;
    std::map<std::string, QLineEdit*> boxes_;
    std::vector<QRadioButton*> options_;
    QButtonGroup* optionGroup_ = nullptr;
    std::vector<std::pair<Observable*, int>> subscriptions_;
    bool closing_ = false;
    bool applying_ = false;
    int nextFreeTop_ = 8;
};

} // namespace pado::gui
