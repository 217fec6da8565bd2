#include "app/checkboxvalue.h"

#include <QCheckBox>

namespace quorvex {

int checkBoxValue(const QCheckBox& box) {
    switch (box.checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

} // namespace quorvex
