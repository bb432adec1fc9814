#include "engine/band_engine_layout.h"

#include <algorithm>
#include <numeric>

namespace frx {

double freeSpace(const SpaceInput &in)
{
    if (in.endlessHeight)
        return 1000000;
    const double footer = in.rememberedFooterHeight != 0 ? in.rememberedFooterHeight : in.footerHeight;
    return in.pageHeight - footer - in.curY;
}

bool doesNotFit(double space, double height)
{
    return space < height - kFitTolerance;
}

Placement decidePlacement(const PlacementInput &in)
{
    if (!in.visible || in.multiColumnDataBand || in.overlay || in.carrier)
        return Placement::Here;
    if (!doesNotFit(in.freeSpace, in.height))
        return Placement::Here;
    if ((in.allowSplit && !in.keeping) || in.height > in.pageHeightBelowHeaders + kFitTolerance)
        return Placement::Split;
    return Placement::NewPage;
}

bool breaksBefore(const BreakBeforeInput &in)
{
    if (!in.startNewPage || !in.visible || in.fromOpenPage)
        return false;
    return !in.dataBandOrGroupHeader || in.recordCounter != 1;
}

bool keepAbandoned(double curY, double keepStartY, double keepingBandHeight,
                   double pageHeightBelowFooters)
{
    return curY - keepStartY + keepingBandHeight > pageHeightBelowFooters + kFitTolerance;
}

HeaderItemOutput headerItemOutput(const HeaderItemInput &in, bool printChildIfInvisible)
{
    if (in.kind == HeaderItemKind::Empty || in.isBreakingBand)
        return HeaderItemOutput::Skip;
    if (in.kind == HeaderItemKind::PageHeader && in.firstPage && !in.printOnFirstPage)
        return printChildIfInvisible ? HeaderItemOutput::ChildOnly : HeaderItemOutput::Skip;
    if (((in.kind == HeaderItemKind::Header && in.headerKeep) || in.addedDuringKeep) && !in.footerKeep)
        return HeaderItemOutput::Skip;
    if (in.noHeaders && (in.kind == HeaderItemKind::Header || in.kind == HeaderItemKind::GroupHeader))
        return HeaderItemOutput::Skip;
    if (in.kind == HeaderItemKind::Header && in.isInterruptedBand)
        return HeaderItemOutput::Skip;
    return HeaderItemOutput::Print;
}

namespace {

bool overlap(double a0, double a1, double b0, double b1)
{
    return a0 < b1 - kOverlapTolerance && b0 < a1 - kOverlapTolerance;
}

bool overlapVertically(const ShiftRect &a, const ShiftRect &b)
{
    return overlap(a.top, a.bottom(), b.top, b.bottom());
}

bool overlapHorizontally(double a0, double a1, double b0, double b1)
{
    return overlap(a0, a1, b0, b1);
}

}  // namespace

ShiftLists computeShiftLists(const ShiftRect &band, const std::vector<ShiftRect> &objects)
{
    const int n = int(objects.size());
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return objects[a].top < objects[b].top; });

    // Position 0 is the guide above the band; the others are the objects in order of Top.
    std::vector<ShiftRect> rects;
    rects.reserve(n + 1);
    rects.push_back({band.left, band.top - 2, band.width, 1});
    for (int i : order)
        rects.push_back(objects[i]);

    ShiftLists result;
    result.children.resize(n);
    for (int a = 0; a <= n; ++a) {
        const ShiftRect &ra = rects[a];
        for (int b = a + 1; b <= n; ++b) {
            const ShiftRect &rb = rects[b];
            if (overlapVertically(ra, rb) || !(ra.top < rb.top))
                continue;
            if (!overlapHorizontally(ra.left, ra.right(), rb.left, rb.right()))
                continue;
            const double spanLeft = std::max(ra.left, rb.left);
            const double spanRight = std::min(ra.right(), rb.right());
            bool blocked = false;
            for (int c = a + 1; c < b && !blocked; ++c) {
                const ShiftRect &rc = rects[c];
                blocked = !overlapVertically(rc, ra) && !overlapVertically(rc, rb)
                          && overlapHorizontally(rc.left, rc.right(), spanLeft, spanRight);
            }
            if (blocked)
                continue;
            auto &list = a == 0 ? result.bandChildren : result.children[order[a - 1]];
            list.push_back(order[b - 1]);
        }
    }
    return result;
}

std::vector<double> applyShifts(const ShiftLists &lists, const std::vector<ShiftObject> &objects)
{
    const int n = int(objects.size());
    // Parents of every object; the band itself is parent -1.
    std::vector<std::vector<int>> parents(n);
    for (int c : lists.bandChildren)
        parents[c].push_back(-1);
    for (int p = 0; p < n; ++p)
        for (int c : lists.children[p])
            parents[c].push_back(p);

    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return objects[a].top < objects[b].top; });

    std::vector<double> moved(n, 0), passOn(n, 0);
    std::vector<double> tops(n);
    for (int i = 0; i < n; ++i)
        tops[i] = objects[i].top;
    for (int c : order) {
        const ShiftObject &o = objects[c];
        double move = 0, pass = 0;
        for (int p : parents[c]) {
            const double fromParent = p < 0 ? 0 : passOn[p];
            switch (o.mode) {
            case ShiftModeKind::Always:
                move = std::max(move, fromParent);
                break;
            case ShiftModeKind::DontShift:
                pass = std::max(pass, fromParent);
                break;
            case ShiftModeKind::WhenOverlapped:
                if (p >= 0) {
                    const double parentBottom = tops[p] + objects[p].height;
                    if (o.top < parentBottom - kOverlapTolerance)
                        move = std::max(move, parentBottom - o.top);
                }
                break;
            }
        }
        if (o.mode != ShiftModeKind::DontShift)
            pass = move;
        moved[c] = move;
        tops[c] = o.top + move;
        passOn[c] = pass + o.growth;
    }
    return tops;
}

}  // namespace frx
