#include "engine/FileDigests.h"

#include <memory>
#include <vector>

TFileDigests::TFileDigests(TDigestSet kinds) : kinds_(kinds) {}

void TFileDigests::Execute() {
    std::vector<std::unique_ptr<Digest>> digests;
    std::vector<TDigestTarget> targets;
    for (const TDigestKindInfo& k : DigestKinds()) {
        info_.*k.Field = {};
        if (!kinds_.Has(k.Kind)) continue;
        digests.push_back(k.MakeDigest());
        targets.push_back({digests.back().get(), k.Field});
    }
    Run(targets, /*raiseErrors=*/false);
}

std::string TFileDigests::HashText(TDigestKind kind, bool upper) const {
    return CaseOf(info_.*DigestKindInfo(kind).Field, upper);
}
