#include "client/state.h"

#include "common/fixed.h"
#include "platform/db/session.h"
#include "platform/files.h"

namespace pandrel {

void ClientUnitInit(ClientState& s) {
    s = ClientState{};
    const QString netDir = common::netControlDir();
    plat::fs::createDir(netDir);  // it may exist already
    plat::db::session().setNetFileDir(netDir);
}

void ClientUnitFinal(ClientState& s) { s.AnswerMarks.clear(); }

}  // namespace pandrel
