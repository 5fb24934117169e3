// Placeholder until the one-read pass lands: each digest reads the file in turn.
#include "engine/FileDigests.h"

TFileDigests::TFileDigests(TDigestSet kinds) : kinds_(kinds) {}

void TFileDigests::Execute() {
    for (const TDigestKindInfo& k : DigestKinds()) info_.*k.Field = {};
    for (const TDigestKindInfo& k : DigestKinds()) {
        if (!kinds_.Has(k.Kind)) continue;
        auto engine = k.MakeEngine();
        engine->SetBufferSize(BufferSize());
        engine->SetFileName(info_.FileName);
        try {
            engine->Execute();
        } catch (const EFileOpenError&) {
            return;
        }
        if (engine->Canceled()) {
            SetCanceled(true);
            return;
        }
        info_.*k.Field = engine->Info().*k.Field;
    }
}

std::string TFileDigests::HashText(TDigestKind kind, bool upper) const {
    return CaseOf(info_.*DigestKindInfo(kind).Field, upper);
}
