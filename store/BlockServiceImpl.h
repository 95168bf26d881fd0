#pragma once

#include "store/IBlockService.h"

class TGlobalManager;

// The one implementation of the article service (placeholder until it is built).
class TBlockServiceImpl : public IBlockService {
public:
    // The part limit of SaveLongArticle is read from the settings at each call.
    TBlockServiceImpl(const QString &databasePath, const TGlobalManager &settings);
};
