#define GL_GLEXT_PROTOTYPES  // glWindowPos2i
#include "TileRenderer.h"

#include <GL/gl.h>

#include "Palette.h"

namespace {

void putCorners(std::vector<float>& vertices, const MapView::Rect& r) {
    vertices.insert(vertices.end(), {r.x0, r.y0, r.x1, r.y0, r.x1, r.y1, r.x0, r.y1});
}

void putColor(std::vector<unsigned char>& colors, Rgb8 c) {
    for (int corner = 0; corner < 4; ++corner) colors.insert(colors.end(), {c.r, c.g, c.b});
}

void drawQuads(const std::vector<float>& vertices, const std::vector<unsigned char>& colors) {
    if (vertices.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, vertices.data());
    glColorPointer(3, GL_UNSIGNED_BYTE, 0, colors.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 2));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace

void TileRenderer::rebuildQuads(const MapView& view) {
    vertices.clear();
    colors.clear();
    for (int y = view.firstVisibleY(); y <= view.lastVisibleY(); ++y) {
        for (int x = view.firstVisibleX(); x <= view.lastVisibleX(); ++x) {
            putCorners(vertices, view.cellRect(x, y, 0));
            putColor(colors, kTileRgb[grid.getTile(x, y)]);
        }
    }
    haveQuads = true;
    quadsView = view;
}

void TileRenderer::drawInsetTiles(const MapView& view, const std::vector<bool>* expanded) {
    if (!haveQuads || !(view == quadsView)) rebuildQuads(view);
    drawQuads(vertices, colors);
    if (!expanded) return;
    std::vector<float> tintVertices;
    std::vector<unsigned char> tintColors;
    const int w = grid.getWidth();
    for (int y = view.firstVisibleY(); y <= view.lastVisibleY(); ++y) {
        for (int x = view.firstVisibleX(); x <= view.lastVisibleX(); ++x) {
            if (!(*expanded)[static_cast<std::size_t>(y) * w + x]) continue;
            putCorners(tintVertices, view.cellRect(x, y, 0));
            putColor(tintColors, tinted(kTileRgb[grid.getTile(x, y)]));
        }
    }
    drawQuads(tintVertices, tintColors);
}

void TileRenderer::drawCompact(const MapView& view, const CompactPicture::Layers& layers) {
    picture.update(grid, view, layers);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glWindowPos2i(0, 0);
    glDrawPixels(view.windowWidth(), view.windowHeight(), GL_RGB, GL_UNSIGNED_BYTE,
                 picture.rgb().data());
}
