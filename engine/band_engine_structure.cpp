#include "engine/band_engine_structure.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace frx {

QString bandSortKey(double top)
{
    char texto[64];
    std::snprintf(texto, sizeof texto, "%9.2f", top);
    return QString::fromLatin1(texto);
}

namespace {

bool isGroupHeader(int n) { return n == bnGroupHeader; }

// Collects the detail run that follows position `pos` of `order` for the data band `parent`:
// bands one level deeper join it (each with its own run), a band of the same or a lower number
// ends it, and anything else is passed over and stays where it is.
void takeDetails(PageStructure &s, const std::vector<BandSlot> &bands, std::vector<int> &order,
                 size_t pos, int parent)
{
    const int level = bands[parent].number;
    while (pos < order.size()) {
        const int i = order[pos];
        const int n = bands[i].number;
        if (n <= level)
            return;
        if (n == level + 1 && bands[i].hasDataSet) {
            s.bands[parent].details.push_back(i);
            order.erase(order.begin() + pos);
            takeDetails(s, bands, order, pos, i);
        } else {
            ++pos;
        }
    }
}

}  // namespace

PageStructure linkBands(const std::vector<BandSlot> &bands)
{
    PageStructure s;
    s.bands.resize(bands.size());
    s.dropped.assign(bands.size(), false);

    // Ordered by key; the first band met in object order keeps a key.
    std::map<QString, int> byKey;
    for (size_t i = 0; i < bands.size(); ++i) {
        const int n = bands[i].number;
        if (n < bnHeader || n > bnGroupFooter)
            continue;
        const auto [it, inserted] = byKey.emplace(bandSortKey(bands[i].top), int(i));
        if (!inserted)
            s.dropped[i] = true;
    }
    std::vector<int> order;
    order.reserve(byKey.size());
    for (const auto &[key, i] : byKey)
        order.push_back(i);
    s.designOrder = order;
    std::vector<bool> linked(bands.size(), false), reported(bands.size(), false);

    // Groups: a chain of group headers belongs to the first data band below it.
    for (size_t p = 0; p < order.size(); ++p) {
        const int h = order[p];
        if (!isGroupHeader(bands[h].number))
            continue;
        BandLinks &links = s.bands[h];
        links.groupList.push_back(h);
        size_t q = p + 1;
        while (q < order.size() && isGroupHeader(bands[order[q]].number)) {
            links.groupList.push_back(order[q]);
            ++q;
        }
        while (q < order.size() && !isDataBandNumber(bands[order[q]].number))
            ++q;
        if (q < order.size()) {
            BandLinks &data = s.bands[order[q]];
            if (data.group < 0)
                data.group = h;
        } else {
            s.errors.push_back({"enUnconnGroup", bands[h].name});
        }
    }
    for (size_t p = 0; p < order.size(); ++p) {
        const int f = order[p];
        if (bands[f].number != bnGroupFooter)
            continue;
        int paired = -1;
        for (size_t q = p; q-- > 0;) {
            const int h = order[q];
            if (isGroupHeader(bands[h].number) && s.bands[h].groupFooter < 0) {
                paired = h;
                break;
            }
        }
        if (paired >= 0) {
            s.bands[paired].groupFooter = f;
            linked[f] = true;
        } else {
            s.errors.push_back({"enUnconnGFooter", bands[f].name});
            reported[f] = true;
        }
    }
    // Unpaired footers, unconnected headers and footers stay in the list, where they still part
    // the bands around them, but each band is reported once.
    std::erase_if(order, [&](int i) { return bands[i].number == bnGroupHeader || linked[i]; });

    // Headers and footers stick to the data band directly below or above them.
    for (size_t p = 0; p < order.size(); ++p) {
        const int d = order[p];
        if (!isDataBandNumber(bands[d].number))
            continue;
        if (p > 0 && bands[order[p - 1]].number == bnHeader) {
            s.bands[d].header = order[p - 1];
            linked[order[p - 1]] = true;
        }
        if (p + 1 < order.size() && bands[order[p + 1]].number == bnFooter) {
            s.bands[d].footer = order[p + 1];
            linked[order[p + 1]] = true;
        }
    }
    for (int i : order) {
        const int n = bands[i].number;
        if ((n == bnHeader || n == bnFooter) && !linked[i]) {
            s.errors.push_back({"enUnconnHeader", bands[i].name});
            reported[i] = true;
        }
    }
    std::erase_if(order, [&](int i) { return linked[i]; });

    // Masters with their detail runs.
    for (size_t p = 0; p < order.size();) {
        const int i = order[p];
        if (bands[i].number == bnMasterData && bands[i].hasDataSet) {
            s.dataBands.push_back(i);
            order.erase(order.begin() + p);
            takeDetails(s, bands, order, p, i);
        } else {
            ++p;
        }
    }

    for (int i : order)
        if (!reported[i])
            s.errors.push_back({"enBandPos", bands[i].name});
    return s;
}

}  // namespace frx
