// The whole editor test run uses a settings folder of its own: every editor reads its settings
// when it opens, and a developer's own settings file must neither change the results nor be
// written by a test.

#include "framework/osk_gui/GuiTestSupport.h"

#include <gtest/gtest.h>

namespace
{
class SettingsFolderForTheRun : public ::testing::Environment
{
public:
    void SetUp() override { folder = std::make_unique<KelvaneTest::ScopedSettingsFolder>(); }
    void TearDown() override { folder.reset(); }

private:
    std::unique_ptr<KelvaneTest::ScopedSettingsFolder> folder;
};

[[maybe_unused]] auto* const settingsFolderForTheRun = ::testing::AddGlobalTestEnvironment (new SettingsFolderForTheRun());
} // namespace
