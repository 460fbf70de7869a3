#include "formats/vst3/Vst3Controller.h"
#include "formats/vst3/Vst3Factory.h"
#include "formats/vst3/Vst3Host.h"
#include "formats/vst3/Vst3Processor.h"
#include "formats/vst3/Vst3View.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

// Hosts call interface methods by vtable slot: each declaration must sit at its published slot.

using namespace vst3;

namespace {

// The vtable slot a pointer to a virtual method stands for: g++ and MinGW keep 1 + the slot's
// byte offset in its first word.
template <typename Method>
std::uintptr_t Slot(Method method) {
    std::uintptr_t word = 0;
    std::memcpy(&word, &method, sizeof word);
    return (word - 1) / sizeof(void*);
}

TEST(Vst3Slots, BaseAndFactory) {
    EXPECT_EQ(Slot(&FUnknown::queryInterface), 0u);
    EXPECT_EQ(Slot(&FUnknown::release), 2u);
    EXPECT_EQ(Slot(&IPluginBase::terminate), 4u);
    EXPECT_EQ(Slot(&IPluginFactory::getClassInfo), 5u);
    EXPECT_EQ(Slot(&IPluginFactory::createInstance), 6u);
    EXPECT_EQ(Slot(&IPluginFactory2::getClassInfo2), 7u);
    EXPECT_EQ(Slot(&IPluginFactory3::getClassInfoUnicode), 8u);
    EXPECT_EQ(Slot(&IPluginFactory3::setHostContext), 9u);
}

TEST(Vst3Slots, ComponentAndProcessing) {
    EXPECT_EQ(Slot(&IComponent::getControllerClassId), 5u);
    EXPECT_EQ(Slot(&IComponent::getBusInfo), 8u);
    EXPECT_EQ(Slot(&IComponent::setActive), 11u);
    EXPECT_EQ(Slot(&IComponent::setState), 12u);
    EXPECT_EQ(Slot(&IComponent::getState), 13u);
    EXPECT_EQ(Slot(&IAudioProcessor::setBusArrangements), 3u);
    EXPECT_EQ(Slot(&IAudioProcessor::getLatencySamples), 6u);
    EXPECT_EQ(Slot(&IAudioProcessor::process), 9u);
    EXPECT_EQ(Slot(&IAudioProcessor::getTailSamples), 10u);
    EXPECT_EQ(Slot(&IProcessContextRequirements::getProcessContextRequirements), 3u);
    EXPECT_EQ(Slot(&IParamValueQueue::getPoint), 5u);
    EXPECT_EQ(Slot(&IParamValueQueue::addPoint), 6u);
    EXPECT_EQ(Slot(&IParameterChanges::getParameterData), 4u);
    EXPECT_EQ(Slot(&IParameterChanges::addParameterData), 5u);
    EXPECT_EQ(Slot(&IEventList::addEvent), 5u);
}

TEST(Vst3Slots, ControllerAndUnits) {
    EXPECT_EQ(Slot(&IEditController::setComponentState), 5u);
    EXPECT_EQ(Slot(&IEditController::setControllerState), 6u);
    EXPECT_EQ(Slot(&IEditController::getControllerState), 7u);
    EXPECT_EQ(Slot(&IEditController::getParamStringByValue), 10u);
    EXPECT_EQ(Slot(&IEditController::setParamNormalized), 15u);
    EXPECT_EQ(Slot(&IEditController::createView), 17u);
    EXPECT_EQ(Slot(&IEditController2::openAboutBox), 5u);
    EXPECT_EQ(Slot(&IUnitInfo::getProgramListInfo), 6u);
    EXPECT_EQ(Slot(&IUnitInfo::getProgramPitchName), 10u);
    EXPECT_EQ(Slot(&IUnitInfo::selectUnit), 12u);
    EXPECT_EQ(Slot(&IUnitInfo::setUnitProgramData), 14u);
    EXPECT_EQ(Slot(&IProgramListData::setProgramData), 5u);
}

TEST(Vst3Slots, Host) {
    EXPECT_EQ(Slot(&IHostApplication::createInstance), 4u);
    EXPECT_EQ(Slot(&IPlugInterfaceSupport::isPlugInterfaceSupported), 3u);
    EXPECT_EQ(Slot(&IComponentHandler::performEdit), 4u);
    EXPECT_EQ(Slot(&IComponentHandler::restartComponent), 6u);
    EXPECT_EQ(Slot(&IComponentHandler2::requestOpenEditor), 4u);
    EXPECT_EQ(Slot(&IComponentHandler2::finishGroupEdit), 6u);
    EXPECT_EQ(Slot(&IUnitHandler::notifyProgramListChange), 4u);
    EXPECT_EQ(Slot(&IBStream::write), 4u);
    EXPECT_EQ(Slot(&IBStream::tell), 6u);
    EXPECT_EQ(Slot(&IAttributeList::getFloat), 6u);
    EXPECT_EQ(Slot(&IAttributeList::setString), 7u);
    EXPECT_EQ(Slot(&IAttributeList::getBinary), 10u);
    EXPECT_EQ(Slot(&IMessage::getAttributes), 5u);
    EXPECT_EQ(Slot(&IConnectionPoint::notify), 5u);
}

TEST(Vst3Slots, View) {
    EXPECT_EQ(Slot(&IPlugView::attached), 4u);
    EXPECT_EQ(Slot(&IPlugView::onKeyUp), 8u);
    EXPECT_EQ(Slot(&IPlugView::onSize), 10u);
    EXPECT_EQ(Slot(&IPlugView::setFrame), 12u);
    EXPECT_EQ(Slot(&IPlugView::checkSizeConstraint), 14u);
    EXPECT_EQ(Slot(&IPlugFrame::resizeView), 3u);
    EXPECT_EQ(Slot(&IPlugViewContentScaleSupport::setContentScaleFactor), 3u);
    EXPECT_EQ(Slot(&Linux::IRunLoop::registerTimer), 5u);
    EXPECT_EQ(Slot(&Linux::IRunLoop::unregisterTimer), 6u);
    EXPECT_EQ(Slot(&Linux::IEventHandler::onFDIsSet), 3u);
    EXPECT_EQ(Slot(&Linux::ITimerHandler::onTimer), 3u);
}

} // namespace
