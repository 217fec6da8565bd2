#include "deck/controla1/faults.h"

namespace quorvex::deck {

bool isAnswered(const Faults& faults, Answer kind) {
    if (faults.silent) {
        return false;
    }
    return !faults.answerOnly || faults.answerOnly->contains(kind);
}

} // namespace quorvex::deck
