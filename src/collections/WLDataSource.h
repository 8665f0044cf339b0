#pragma once

#include "WLColor.h"
#include "WLDataSourceProtocol.h"

#include <memory>
#include <optional>

class WLDatabase;

// Base of the data sources that read the dictionary. It does not own the
// dictionary: the application keeps it open for as long as its tabs live.
class WLDataSource : public WLDataSourceProtocol
{
public:
    // The subclasses' initWithDatabase factories: no data source (after the
    // report) without a dictionary. T needs a constructor taking the
    // dictionary that WLDataSource can reach.
    template <typename T>
    static std::unique_ptr<T> initWithDatabase(WLDatabase *database)
    {
        if (!acceptsDatabase(database))
            return nullptr;
        return std::unique_ptr<T>(new T(database));
    }

    WLDatabase *database() const { return mDatabase; }
    void setDatabase(WLDatabase *database) { mDatabase = database; }
    // None means the toolkit's default colour.
    std::optional<WLColor> textColor() const { return mTextColor; }
    void setTextColor(const std::optional<WLColor> &color) { mTextColor = color; }

protected:
    explicit WLDataSource(WLDatabase *database) : mDatabase(database) {}

private:
    static bool acceptsDatabase(const WLDatabase *database);

    WLDatabase *mDatabase = nullptr;
    std::optional<WLColor> mTextColor;
};
