#include "widgets/serialdevicedialog.h"

#include <algorithm>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace quorvex {

namespace {

constexpr int pathRole = Qt::UserRole;

} // namespace

SerialDeviceDialog::SerialDeviceDialog(const QString& title, const QString& current,
                                       std::span<const SerialDevice> devices, QWidget* parent)
    : QDialog(parent), ports(new QTreeWidget(this)), path(new QLineEdit(current, this)) {
    setObjectName(QStringLiteral("serialDeviceDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);

    auto* listed = new QLabel(devices.empty() ? QStringLiteral("This computer lists no serial ports.")
                                              : QStringLiteral("Serial ports of this computer:"),
                              this);
    layout->addWidget(listed);
    ports->setObjectName(QStringLiteral("serialPorts"));
    ports->setRootIsDecorated(false);
    ports->setHeaderLabels({QStringLiteral("Port"), QStringLiteral("Description"),
                            QStringLiteral("Manufacturer"), QStringLiteral("Serial number")});
    for (const SerialDevice& device : devices) {
        auto* row = new QTreeWidgetItem(
            ports, {device.path, device.description, device.manufacturer, device.serialNumber});
        row->setData(0, pathRole, device.path);
        row->setToolTip(0, device.systemLocation);
    }
    // Wide enough for the ports' long stable names, up to a width any screen has.
    constexpr int widest = 900;
    for (int column = 0; column < ports->columnCount(); ++column) {
        ports->resizeColumnToContents(column);
    }
    ports->setMinimumWidth(std::min(ports->header()->length() + 2 * ports->frameWidth(), widest));
    ports->setVisible(!devices.empty());
    layout->addWidget(ports);

    auto* pathLabel = new QLabel(QStringLiteral("&Device:"), this);
    pathLabel->setBuddy(path);
    path->setObjectName(QStringLiteral("serialDevicePath"));
    path->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    layout->addWidget(pathLabel);
    layout->addWidget(path);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setDefault(true);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(path, &QLineEdit::textChanged, this, [this, ok] { ok->setEnabled(!device().isEmpty()); });
    ok->setEnabled(!device().isEmpty());
    connect(ports, &QTreeWidget::currentItemChanged, this, [this](const QTreeWidgetItem* row) {
        if (row != nullptr) {
            path->setText(row->data(0, pathRole).toString());
        }
    });
    connect(ports, &QTreeWidget::itemActivated, this, &QDialog::accept);
    path->selectAll();
    path->setFocus();
}

QString SerialDeviceDialog::device() const {
    return path->text().trimmed();
}

} // namespace quorvex
