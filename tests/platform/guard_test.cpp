#include "platform/guard.h"

#include "platform/errors.h"
#include "tests/harness/harness.h"

using plat::BoxKind;

TEST(Guard, FailedConversionEndsTheHandlerInTheStandardErrorBox) {
    testing_support::ScriptedUi ui;
    ui.setTitle("Pandrel");
    ui.expect(BoxKind::StandardError, "'12a' is not a valid integer value");
    bool reachedEnd = false;
    const bool ran = plat::guarded(ui, [&] {
        plat::strToInt("12a");
        reachedEnd = true;
    });
    EXPECT_FALSE(ran);
    EXPECT_FALSE(reachedEnd);
    ASSERT_EQ(ui.boxes().size(), 1);
    EXPECT_EQ(ui.boxes()[0].caption, "Pandrel");
    EXPECT_EQ(ui.boxes()[0].buttons, QList<plat::Button>{plat::Button::Ok});
}

TEST(Guard, OtherFailuresToo) {
    testing_support::ScriptedUi ui;
    ui.setTitle("Server");
    ui.expect(BoxKind::StandardError, "Asynchronous socket error 10061")
        .expect(BoxKind::StandardError, "bad alloc");
    EXPECT_FALSE(plat::guarded(
        ui, [] { throw plat::SocketError("Asynchronous socket error 10061", 10061); }));
    EXPECT_FALSE(plat::guarded(ui, [] { throw std::runtime_error("bad alloc"); }));
    EXPECT_TRUE(plat::guarded(ui, [] {}));
}
