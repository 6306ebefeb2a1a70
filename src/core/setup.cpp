#include "setup.h"

namespace kvh::core {

SetupState::SetupState() {
    m_tempUnit.select(1); // degrees Celsius
    m_timeUnit.select(0); // minutes
}

void SetupState::selectModel(int i) {
    m_model.select(i);
    m_chosenModel = static_cast<int16_t>(i);
}

void SetupState::selectTracer(int i) {
    m_tracer.select(i);
    m_chosenTracer = static_cast<int16_t>(i);
    if (i != 0) {
        m_modelVisible[5] = true;
        if (environIndex() != 1)
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
    m_chosenEnviron = static_cast<int16_t>(i);
    if (tracerIndex() != 1)
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

void SetupState::clearModel() {
    m_model = {};
    m_chosenModel.reset();
}

void SetupState::clearTracer() {
    m_tracer = {};
    m_chosenTracer.reset();
}

void SetupState::clearEnviron() {
    m_environ = {};
    m_chosenEnviron.reset();
}

void SetupState::selectTempUnit(int i) {
    m_tempUnit.select(i);
}
void SetupState::selectTimeUnit(int i) {
    m_timeUnit.select(i);
}

bool SetupState::complete() const {
    return m_chosenModel && m_chosenTracer && m_chosenEnviron;
}

std::string SetupState::modelTag() const {
    if (!m_chosenModel)
        return {};
    return std::string(kModelCaptions[static_cast<size_t>(*m_chosenModel)].substr(0, 4));
}

std::string SetupState::tracerTag() const {
    if (!m_chosenTracer)
        return {};
    return std::string(kTracerCaptions[static_cast<size_t>(*m_chosenTracer)]);
}

std::string SetupState::environTag() const {
    if (!m_chosenEnviron)
        return {};
    return std::string(kEnvironCaptions[static_cast<size_t>(*m_chosenEnviron)]);
}

std::string SetupState::summary() const {
    if (!complete())
        return std::string(kSetupNotSpecified);
    return "Model " + modelTag() + "; " + tracerTag() + "; in " + environTag();
}

std::string SetupState::tempHeader() const {
    return std::string(tempCaption(celsius()));
}

std::string SetupState::timeHeader() const {
    return m_timeUnit.isSelected(0) ? "Minutes" : "Hours";
}

} // namespace kvh::core
