// The main window's start and end as the operator meets them: the ready poll's period, closing
// while it starts, the saved placement, the window's smallest size, help and the icon.
#include "MainWindowFixture.h"

namespace {

TEST_F(MainWindowTest, AnITimeThatIsNotANumberPollsForReadinessAtOnce) {
    qunsetenv("QVK740RX_SIM");
    g_optITime = {true, 0};  // what "-itime=abc" leaves
    Start();
    EXPECT_TRUE(window_->IsReady());
}

}  // namespace
