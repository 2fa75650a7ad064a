#include "cli_json.hpp"

#include <QString>

namespace qelto::cli {

QJsonValue JsonText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QJsonObject JsonMayHold(Holds ram, Holds eeprom) {
    return {{"ram", HoldsName(ram)}, {"eeprom", HoldsName(eeprom)}};
}

QJsonArray JsonRefused(const std::vector<RefusedValue>& refused) {
    QJsonArray list;
    for (const RefusedValue& r : refused) {
        list.append(QJsonObject{{"section", JsonText(ItemSection(r.item))},
                                {"key", JsonText(ItemKey(r.item))},
                                {"value", r.value},
                                {"held", r.held}});
    }
    return list;
}

QJsonArray JsonDifferences(const std::vector<Difference>& diffs) {
    QJsonArray list;
    for (const Difference& d : diffs) {
        list.append(QJsonObject{{"section", JsonText(ItemSection(d.item))},
                                {"key", JsonText(ItemKey(d.item))},
                                {"old", d.oldValue},
                                {"new", d.newValue}});
    }
    return list;
}

QJsonObject JsonFailure(const FailureReport& r) {
    return {{"address", JsonText(r.address)},
            {"sensor", JsonText(r.sensor)},
            {"step", JsonText(r.step)},
            {"kind", JsonText(r.kind)},
            {"message", JsonText(r.message)},
            {"reason", JsonText(r.reason)},
            {"advice", JsonText(r.advice)},
            {"may_hold",
             r.mayHold ? QJsonValue(JsonMayHold(r.mayHold->ram, r.mayHold->eeprom)) : QJsonValue()},
            {"refused", JsonRefused(r.refused)}};
}

}  // namespace qelto::cli
