#define GL_GLEXT_PROTOTYPES  // glWindowPos2i
#include "TileRenderer.h"

#include <GL/gl.h>

#include "Palette.h"

namespace {

void putCorners(std::vector<float>& vertices, const MapView::Rect& r) {
    vertices.insert(vertices.end(), {r.x0, r.y0, r.x1, r.y0, r.x1, r.y1, r.x0, r.y1});
}

// Float colours, as glColor3fv takes them, so the squares get the very
// pixels they always had.
void putColor(std::vector<float>& colors, const float* c) {
    for (int corner = 0; corner < 4; ++corner) colors.insert(colors.end(), {c[0], c[1], c[2]});
}

void drawQuads(const std::vector<float>& vertices, const std::vector<float>& colors) {
    if (vertices.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, vertices.data());
    glColorPointer(3, GL_FLOAT, 0, colors.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 2));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace

void TileRenderer::rebuildQuads(const MapView& view) {
    vertices.clear();
    cornerColors.clear();
    for (int y = view.firstVisibleY(); y <= view.lastVisibleY(); ++y) {
        for (int x = view.firstVisibleX(); x <= view.lastVisibleX(); ++x) {
            putCorners(vertices, view.cellRect(x, y, 0));
            putColor(cornerColors, colors[grid.getTile(x, y)]);
        }
    }
    quadsView = view;
}

void TileRenderer::drawInsetTiles(const MapView& view, const std::vector<bool>* expanded) {
    if (quadsView != view) rebuildQuads(view);
    drawQuads(vertices, cornerColors);
    if (!expanded) return;
    std::vector<float> tintVertices;
    std::vector<float> tintColors;
    const int w = grid.getWidth();
    for (int y = view.firstVisibleY(); y <= view.lastVisibleY(); ++y) {
        for (int x = view.firstVisibleX(); x <= view.lastVisibleX(); ++x) {
            if (!(*expanded)[static_cast<std::size_t>(y) * w + x]) continue;
            putCorners(tintVertices, view.cellRect(x, y, 0));
            const Rgb8 tint = tinted(kTileRgb[grid.getTile(x, y)]);
            const float tintFloats[3] = {tint.r / 255.0f, tint.g / 255.0f, tint.b / 255.0f};
            putColor(tintColors, tintFloats);
        }
    }
    drawQuads(tintVertices, tintColors);
}

void TileRenderer::drawCompact(const MapView& view, const CompactPicture::Layers& layers,
                               int bottom) {
    picture.update(grid, view, layers);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glWindowPos2i(0, bottom);
    glDrawPixels(view.windowWidth(), view.windowHeight(), GL_RGB, GL_UNSIGNED_BYTE,
                 picture.rgb().data());
}
