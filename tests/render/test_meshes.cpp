// The two cube meshes and their neighbour variants: sizes, the exact tables
// of the telling variants, the order of the kept triangles and the winding
// that lets the device cull the faces turned away.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "maths/maths.h"
#include "render/render.h"
#include "rules/rules.h"

namespace {

// Start-up builds both sets; running it again must give the same tables.
class MeshTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitSinTable();
    InitRender();
  }
};

int BitCount(int n) { return (n & 1) + ((n >> 1) & 1) + ((n >> 2) & 1) + ((n >> 3) & 1); }

std::vector<WORD> Indices(int nSet, int n) {
  const BLOCKTYPE& bt = g_BlockTypes[nSet];
  return std::vector<WORD>(bt.indices[n], bt.indices[n] + bt.numindices[n]);
}

bool SameVertex(const D3DVERTEX& a, const D3DVERTEX& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z && a.nx == b.nx && a.ny == b.ny && a.nz == b.nz &&
         a.tu == b.tu && a.tv == b.tv;
}

// The full cube's vertex a variant's vertex came from (vertices are unique
// by position and normal).
int SourceVertex(int nSet, const D3DVERTEX& v) {
  const BLOCKTYPE& bt = g_BlockTypes[nSet];
  for (int k = 0; k < bt.numvertices[BN_NONE]; k++)
    if (SameVertex(bt.vertices[BN_NONE][k], v)) return k;
  return -1;
}

}  // namespace

TEST_F(MeshTest, VariantCountsFollowTheNeighbourBits) {
  for (int n = 0; n < 16; n++) {
    const int k = BitCount(n);
    EXPECT_EQ(g_BlockTypes[0].numvertices[n], 20 - 4 * k) << n;
    EXPECT_EQ(g_BlockTypes[0].numindices[n], 30 - 6 * k) << n;
    EXPECT_EQ(g_BlockTypes[1].numvertices[n], 20) << n;
    EXPECT_EQ(g_BlockTypes[1].numindices[n], 90 - 6 * k) << n;
  }
}

TEST_F(MeshTest, FullCubeIsTheStaticTableItself) {
  EXPECT_EQ(g_BlockTypes[0].vertices[BN_NONE], g_SimpleVerts);
  EXPECT_EQ(g_BlockTypes[0].indices[BN_NONE], g_SimpleIndices);
  EXPECT_EQ(g_BlockTypes[1].vertices[BN_NONE], g_DefaultVerts);
  EXPECT_EQ(g_BlockTypes[1].indices[BN_NONE], g_DefaultIndices);
  for (int n = 1; n < 16; n++) {
    EXPECT_NE(g_BlockTypes[0].vertices[n], g_SimpleVerts) << n;
    EXPECT_NE(g_BlockTypes[1].indices[n], g_DefaultIndices) << n;
  }
}

TEST_F(MeshTest, PlainVariantsFifteenAndFive) {
  // Every neighbour present: the front face alone.
  ASSERT_EQ(g_BlockTypes[0].numvertices[15], 4);
  for (int v = 0; v < 4; v++) EXPECT_TRUE(SameVertex(g_BlockTypes[0].vertices[15][v], g_SimpleVerts[v])) << v;
  EXPECT_EQ(Indices(0, 15), (std::vector<WORD>{2, 0, 1, 3, 0, 2}));

  // Above and left: vertices 0-7 and 12-15 renumbered 0-11.
  const int n = BN_ABOVE | BN_LEFT;
  ASSERT_EQ(g_BlockTypes[0].numvertices[n], 12);
  const int kept[12] = {0, 1, 2, 3, 4, 5, 6, 7, 12, 13, 14, 15};
  for (int v = 0; v < 12; v++)
    EXPECT_TRUE(SameVertex(g_BlockTypes[0].vertices[n][v], g_SimpleVerts[kept[v]])) << v;
  EXPECT_EQ(Indices(0, n), (std::vector<WORD>{2, 0, 1, 3, 0, 2, 6, 4, 5, 7, 4, 6, 10, 8, 9, 11, 8, 10}));
}

TEST_F(MeshTest, BevelledVariantFifteenKeepsFrontBevelsAndCorners) {
  ASSERT_EQ(g_BlockTypes[1].numvertices[15], 20);
  for (int v = 0; v < 20; v++) EXPECT_TRUE(SameVertex(g_BlockTypes[1].vertices[15][v], g_DefaultVerts[v])) << v;
  std::vector<WORD> expected = {2, 0, 1, 3, 0, 2};
  expected.insert(expected.end(), g_DefaultIndices + 30, g_DefaultIndices + 90);
  EXPECT_EQ(Indices(1, 15), expected);
  EXPECT_EQ(expected.size(), 66u);
}

// Each variant's triangles, mapped back to the full cube's vertices, are the
// full cube's triangles minus the dropped faces, in their original order.
TEST_F(MeshTest, KeptTrianglesKeepTheirOrder) {
  const int faceOfBit[4] = {4, 1, 2, 3};  // above = top, below = bottom, left, right
  for (int nSet = 0; nSet < 2; nSet++) {
    const BLOCKTYPE& bt = g_BlockTypes[nSet];
    for (int n = 1; n < 16; n++) {
      std::vector<WORD> expected;
      for (int j = 0; j < bt.numindices[BN_NONE]; j += 3) {
        bool bDropped = false;
        for (int bit = 0; bit < 4; bit++) {
          if (!(n & (1 << bit))) continue;
          const int f = faceOfBit[bit];
          if (nSet == 1) {
            bDropped |= j / 6 == f;  // the face's two flat triangles
          } else {
            for (int k = 0; k < 3; k++) bDropped |= bt.indices[BN_NONE][j + k] / 4 == f;
          }
        }
        if (!bDropped) expected.insert(expected.end(), bt.indices[BN_NONE] + j, bt.indices[BN_NONE] + j + 3);
      }
      std::vector<WORD> mapped;
      for (int j = 0; j < bt.numindices[n]; j++) {
        const WORD w = bt.indices[n][j];
        ASSERT_LT(w, bt.numvertices[n]) << nSet << "/" << n;
        const int src = SourceVertex(nSet, bt.vertices[n][w]);
        ASSERT_GE(src, 0);
        mapped.push_back((WORD)src);
      }
      EXPECT_EQ(mapped, expected) << "set " << nSet << " variant " << n;
      // Kept vertices keep their order too.
      for (int v = 1; v < bt.numvertices[n]; v++)
        EXPECT_LT(SourceVertex(nSet, bt.vertices[n][v - 1]), SourceVertex(nSet, bt.vertices[n][v]));
    }
  }
}

// Every triangle of both full cubes faces out of the cube, and each set-1
// face vertex is the set-0 vertex pulled in to 0.4 within its face's plane.
TEST_F(MeshTest, TablesAreWoundOutwardsAndBevelsInset) {
  const struct {
    const D3DVERTEX* v;
    const WORD* idx;
    int n;
  } sets[2] = {{g_SimpleVerts, g_SimpleIndices, 30}, {g_DefaultVerts, g_DefaultIndices, 90}};
  for (const auto& s : sets) {
    for (int j = 0; j < s.n; j += 3) {
      const D3DVERTEX &a = s.v[s.idx[j]], &b = s.v[s.idx[j + 1]], &c = s.v[s.idx[j + 2]];
      const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
      const float wx = c.x - a.x, wy = c.y - a.y, wz = c.z - a.z;
      const float nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
      const float cx = (a.x + b.x + c.x) / 3, cy = (a.y + b.y + c.y) / 3, cz = (a.z + b.z + c.z) / 3;
      EXPECT_GT(nx * cx + ny * cy + nz * cz, 0.0f) << "triangle at " << j;
    }
  }
  for (int v = 0; v < 20; v++) {
    const D3DVERTEX &p = g_SimpleVerts[v], &q = g_DefaultVerts[v];
    EXPECT_EQ(q.nx, p.nx);
    EXPECT_EQ(q.ny, p.ny);
    EXPECT_EQ(q.nz, p.nz);
    EXPECT_FLOAT_EQ(q.x, p.nx != 0 ? p.x : p.x * 0.8f) << v;
    EXPECT_FLOAT_EQ(q.y, p.ny != 0 ? p.y : p.y * 0.8f) << v;
    EXPECT_FLOAT_EQ(q.z, p.nz != 0 ? p.z : p.z * 0.8f) << v;
  }
}

TEST_F(MeshTest, StartUpTablesPlaceEveryCell) {
  for (int i = 0; i < 10; i++) {
    for (int j = 0; j < 20; j++) {
      const D3DMATRIX& m = g_matBlocks[i][j];
      EXPECT_FLOAT_EQ(m._41, (float)i - 4.5f);
      EXPECT_FLOAT_EQ(m._42, 19.5f - (float)j);
      EXPECT_EQ(m._43, 0.0f);
      EXPECT_EQ(m._11 * m._22 * m._33 * m._44, 1.0f);
      const D3DLVERTEX& g = g_WellGuides[j * 10 + i];
      EXPECT_EQ(g.x, m._41);
      EXPECT_EQ(g.y, m._42);
      EXPECT_FLOAT_EQ(g.z, -0.4f);
      EXPECT_EQ(g.color, 0xFF0000FFu);
    }
  }
  EXPECT_NE(g_hStatFont, nullptr);
}
