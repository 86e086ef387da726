#include "app/shell/app_context.hpp"

#include <QWidget>

namespace mw {

QString AppContext::Text(int number) const {
    return QString::fromStdString(strings.Text(number));
}

bool AskYesNo(QWidget* parent, const AppContext& context, int textNumber, int captionNumber) {
    return QMessageBox::question(parent, context.Text(captionNumber), context.Text(textNumber),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void Inform(QWidget* parent, const AppContext& context, int textNumber, int captionNumber) {
    QMessageBox::information(parent, context.Text(captionNumber), context.Text(textNumber));
}

} // namespace mw
