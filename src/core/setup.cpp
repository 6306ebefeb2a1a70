#include "setup.h"

namespace kvh::core {

SetupState::SetupState() {
    m_tempUnit.select(1); // degrees Celsius
    m_timeUnit.select(0); // minutes
}

void SetupState::selectModel(int i) {
    m_model.select(i);
    m_modelIndex = static_cast<int16_t>(i);
    m_modelTag = std::string(kModelCaptions[static_cast<size_t>(i)].substr(0, 4));
}

void SetupState::selectTracer(int i) {
    m_tracer.select(i);
    m_tracerTag = std::string(kTracerCaptions[static_cast<size_t>(i)]);
    m_tracerIndex = static_cast<int16_t>(i);
    if (i != 0) {
        m_modelVisible[5] = true;
        if (m_environIndex != 1)
            m_modelVisible[4] = true;
        return;
    }
    // The two Tessel III models leave; the smallest dewar takes their place.
    m_modelVisible[5] = false;
    m_modelVisible[4] = false;
    m_model.deselect(5);
    m_model.deselect(4);
    selectModel(0);
}

void SetupState::selectEnviron(int i) {
    m_environ.select(i);
    m_environTag = std::string(kEnvironCaptions[static_cast<size_t>(i)]);
    m_environIndex = static_cast<int16_t>(i);
    if (m_tracerIndex != 1)
        return;
    if (i != 1) {
        m_modelVisible[4] = true;
        return;
    }
    // The thermal pack is not offered in liquid.
    m_modelVisible[4] = false;
    m_model.deselect(4);
    selectModel(0);
}

void SetupState::selectTempUnit(int i) { m_tempUnit.select(i); }
void SetupState::selectTimeUnit(int i) { m_timeUnit.select(i); }

bool SetupState::complete() const {
    return !m_modelTag.empty() && !m_tracerTag.empty() && !m_environTag.empty();
}

std::string SetupState::summary() const {
    if (!complete())
        return std::string(kSetupNotSpecified);
    return "Model " + m_modelTag + "; " + m_tracerTag + "; in " + m_environTag;
}

std::string SetupState::tempHeader() const {
    return std::string(tempCaption(celsius()));
}

std::string SetupState::timeHeader() const {
    return m_timeUnit.isSelected(0) ? "Minutes" : "Hours";
}

} // namespace kvh::core
