#include "widgets/serialdevicedialog.h"

#include <algorithm>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
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

SerialDeviceDialog::SerialDeviceDialog(const QString& title, const SerialChoice& current,
                                       std::span<const SerialDevice> devices, IdentifyRecorder identify,
                                       QWidget* parent)
    : QDialog(parent), ports(new QTreeWidget(this)), path(new QLineEdit(current.device, this)),
      family(new QComboBox(this)), identified(new QLabel(this)), identify(std::move(identify)) {
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

    auto* familyLabel = new QLabel(QStringLiteral("&Recorder:"), this);
    familyLabel->setBuddy(family);
    family->setObjectName(QStringLiteral("recorderFamily"));
    family->addItem(QStringLiteral("Control-A1 interface"), static_cast<int>(RecorderFamily::controlA1));
    family->addItem(QStringLiteral("MDS-E11, MDS-E12 or MDS-E52 (RS-232C)"),
                    static_cast<int>(RecorderFamily::mdsE));
    family->setCurrentIndex(family->findData(static_cast<int>(current.family)));
    auto* identifyButton = new QPushButton(QStringLiteral("&Identify"), this);
    identifyButton->setObjectName(QStringLiteral("identifyRecorder"));
    identifyButton->setToolTip(QStringLiteral("Asks the deck on this device for its model."));
    identified->setObjectName(QStringLiteral("identifiedModel"));
    auto* familyRow = new QHBoxLayout;
    familyRow->addWidget(family, 1);
    familyRow->addWidget(identifyButton);
    layout->addWidget(familyLabel);
    layout->addLayout(familyRow);
    layout->addWidget(identified);

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
    // Only an MDS-E deck can say its model.
    const auto identifiable = [this, identifyButton] {
        identifyButton->setEnabled(choice().family == RecorderFamily::mdsE && !device().isEmpty() &&
                                   this->identify != nullptr);
    };
    connect(family, &QComboBox::currentIndexChanged, this, identifiable);
    connect(path, &QLineEdit::textChanged, this, identifiable);
    identifiable();
    connect(identifyButton, &QPushButton::clicked, this, [this] {
        identified->setText(QStringLiteral("Asking…"));
        identified->setText(this->identify(device()));
    });
    path->selectAll();
    path->setFocus();
}

QString SerialDeviceDialog::device() const {
    return path->text().trimmed();
}

SerialChoice SerialDeviceDialog::choice() const {
    return {.device = device(), .family = static_cast<RecorderFamily>(family->currentData().toInt())};
}

} // namespace quorvex
