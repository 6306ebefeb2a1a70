#include "case.h"

namespace kvh::core {

void Case::selectTempUnit(int i) {
    setup.selectTempUnit(i);
    profile.setCell(0, kColTemp, setup.tempHeader());
}

void Case::selectTimeUnit(int i) {
    setup.selectTimeUnit(i);
    profile.setCell(0, kColTime, setup.timeHeader());
}

} // namespace kvh::core
