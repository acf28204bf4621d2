#include "engine/math/Mat4.h"

#include <gtest/gtest.h>

#include <cmath>

namespace terrabo {
namespace {

constexpr float kTolerance = 1e-5f;

void expectNear(Vec3 actual, Vec3 expected) {
    EXPECT_NEAR(actual.x, expected.x, kTolerance);
    EXPECT_NEAR(actual.y, expected.y, kTolerance);
    EXPECT_NEAR(actual.z, expected.z, kTolerance);
}

TEST(Rotation, ElementaryRotationsAreRightHanded) {
    for (float degrees : {30.0f, 90.0f, -45.0f, 180.0f, 270.0f}) {
        SCOPED_TRACE(degrees);
        const float a = degreesToRadians(degrees);
        const float c = std::cos(a), s = std::sin(a);
        expectNear(Mat4::rotationZ(degrees).transformPoint({1, 0, 0}), {c, s, 0});
        expectNear(Mat4::rotationY(degrees).transformPoint({0, 0, 1}), {s, 0, c});
        expectNear(Mat4::rotationX(degrees).transformPoint({0, 1, 0}), {0, c, s});
        // Each axis stays where it is.
        expectNear(Mat4::rotationZ(degrees).transformPoint({0, 0, 1}), {0, 0, 1});
        expectNear(Mat4::rotationY(degrees).transformPoint({0, 1, 0}), {0, 1, 0});
        expectNear(Mat4::rotationX(degrees).transformPoint({1, 0, 0}), {1, 0, 0});
    }
}

TEST(Rotation, EulerAnglesComposeAsYThenXThenZ) {
    // Each case tells the order apart: any other composition moves the point elsewhere.
    struct Case {
        Vec3 angles;
        Vec3 point;
        Vec3 expected;
    };
    const Case cases[] = {
        {{90, 90, 0}, {0, 1, 0}, {1, 0, 0}},  // Rx first, then Ry
        {{0, 90, 90}, {1, 0, 0}, {0, 1, 0}},  // Rz first, then Ry
        {{90, 0, 90}, {1, 0, 0}, {0, 0, 1}},  // Rz first, then Rx
        {{0, 180, 0}, {0, 0, 1}, {0, 0, -1}}, // the globe's home turn
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angles.x << ", " << c.angles.y << ", " << c.angles.z);
        expectNear(Mat4::rotationEuler(c.angles).transformPoint(c.point), c.expected);
    }
}

TEST(Rotation, EulerMatrixIsTheProductOfTheThree) {
    const Vec3 angles[] = {{10, 20, 30}, {-80, 170, 45}, {0, -90, -45}, {33, 0, 400}};
    for (const Vec3& a : angles) {
        const Mat4 expected = Mat4::rotationY(a.y) * Mat4::rotationX(a.x) * Mat4::rotationZ(a.z);
        const Mat4 actual = Mat4::rotationEuler(a);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(actual.m[i], expected.m[i], kTolerance) << "element " << i;
    }
}

TEST(Rotation, RigidInverseUndoesRotationAndTranslation) {
    const Mat4 t = Mat4::translation({1, -2, 5}) * Mat4::rotationEuler({20, -70, 35});
    const Vec3 p{0.5f, 3, -4};
    expectNear(t.rigidInverse().transformPoint(t.transformPoint(p)), p);
}

} // namespace
} // namespace terrabo
