#include "deck/mdse/settings.h"

#include <QString>

namespace quorvex::deck::mdse {

QByteArray modelName(Model model) {
    switch (model) {
    case Model::e11:
        return QByteArrayLiteral("MDS-E11");
    case Model::e12:
        return QByteArrayLiteral("MDS-E12");
    case Model::e52:
        return QByteArrayLiteral("MDS-E52");
    }
    return {};
}

std::optional<Model> modelFrom(QStringView text) {
    for (const Model model : {Model::e11, Model::e12, Model::e52}) {
        if (text.compare(QString::fromLatin1(modelName(model).sliced(4)), Qt::CaseInsensitive) == 0) {
            return model;
        }
    }
    return std::nullopt;
}

bool hasPowerCommand(Model model) {
    return model != Model::e12;
}

} // namespace quorvex::deck::mdse
