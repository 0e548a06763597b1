// Delete of the current test from the start window.
#include "tests/editor/fileops/ops_fixture.h"

using plat::Answer;
using plat::BoxKind;
using namespace ops_test;

namespace {

struct DeleteCase {
    const char* name;
    bool webMode;      // local+web mode, else local-only
    bool table;        // CheckBox1 ticked (in local+web mode)
    const char* left;  // what stays of Физика
};
class DeleteRows : public Ops, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteRows, DeletesTheChosenHalvesThenHidesThePanel) {
    const DeleteCase& c = GetParam();
    layTest(work(), "Физика", true);
    put(inWork("Физика.DB-journal"), "journal");
    layNeighbours(work());
    makeCurrent("Физика.db", c.webMode);
    if (c.webMode) form->CheckBox1->setChecked(c.table);
    ASSERT_FALSE(form->Button7->isHidden());
    leaveWork();

    ui.expect(BoxKind::Confirmation, "Вы уверены что хотите удалить тест <Физика> ?", Answer::Yes);
    form->Button7Click();

    QStringList left = QString::fromUtf8(c.left).split(u' ', Qt::SkipEmptyParts);
    for (const char* n : kNeighbours) left.append(QString::fromUtf8(n));
    std::sort(left.begin(), left.end());
    EXPECT_EQ(listing(work()), s(left.join(u' ')));
    for (const char* n : kNeighbours) EXPECT_EQ(get(inWork(QString::fromUtf8(n))), n);
    EXPECT_EQ(current(),
              "Физика.db|Физика.db|Физика.HTML|Операции с тестом: <Физика.db>|"
              "local|hidden");
    EXPECT_TRUE(form->CheckBox1->isHidden());
    EXPECT_TRUE(sameDir(QDir::currentPath(), inWork("elsewhere")));
    EXPECT_TRUE(ui.finished());
}

INSTANTIATE_TEST_SUITE_P(Rows, DeleteRows,
                         ::testing::Values(DeleteCase{"LocalOnlyMode", false, true, ""},
                                           DeleteCase{"BothBoxes", true, true, ""},
                                           DeleteCase{"WebPartOnly", true, false,
                                                      "Физика.DB Физика.DB-journal Физика.VAL"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ops, DeleteNotConfirmedChangesNothing) {
    layTest(work(), "Физика", true);
    makeCurrent("Физика.db", true);
    const auto before = snapshot(work());
    for (Answer a : {Answer::No, Answer::Closed}) {
        ui.expect(BoxKind::Confirmation, "Вы уверены что хотите удалить тест <Физика> ?", a);
        form->Button7Click();
        EXPECT_EQ(snapshot(work()), before);
        EXPECT_EQ(current(), currentOf("Физика", "web"));
    }
}

}  // namespace
