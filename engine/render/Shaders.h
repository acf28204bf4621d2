#pragma once

namespace terrabo::shaders {

// Pictures: a unit quad scaled to the content size; premultiplied texels times
// a premultiplied tint.
inline constexpr const char* kSpriteVertex = R"(#version 300 es
layout(location = 0) in vec2 aCorner;
uniform mat4 uMvp;
uniform vec2 uSize;
uniform vec4 uUv; // u at the left, v at the bottom, u at the right, v at the top
out vec2 vUv;
void main() {
    vUv = mix(uUv.xy, uUv.zw, aCorner);
    gl_Position = uMvp * vec4(aCorner * uSize, 0.0, 1.0);
}
)";

inline constexpr const char* kSpriteFragment = R"(#version 300 es
precision mediump float;
in vec2 vUv;
uniform sampler2D uTexture;
uniform vec4 uTint;
out vec4 fragColor;
void main() {
    fragColor = texture(uTexture, vUv) * uTint;
}
)";

inline constexpr int kMaxLights = 4;

// Meshes: the classic lamp model evaluated per fragment (world ambient, then
// each light's ambient, diffuse and Blinn specular parts, clamped), the
// texture modulating the lit colour.
inline constexpr const char* kMeshVertex = R"(#version 300 es
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUv;
uniform mat4 uModelView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
out vec3 vEyePosition;
out vec3 vNormal;
out vec2 vUv;
void main() {
    vec4 eye = uModelView * vec4(aPosition, 1.0);
    vEyePosition = eye.xyz;
    vNormal = uNormalMatrix * aNormal;
    vUv = aUv;
    gl_Position = uProjection * eye;
}
)";

inline constexpr const char* kMeshFragment = R"(#version 300 es
precision highp float;
const int kMaxLights = 4;
in vec3 vEyePosition;
in vec3 vNormal;
in vec2 vUv;
uniform vec4 uWorldAmbient;
uniform vec4 uAmbient;
uniform vec4 uDiffuse;
uniform vec4 uSpecular;
uniform float uShininess;
uniform int uLightCount;
uniform vec4 uLightPosition[kMaxLights];
uniform vec4 uLightAmbient[kMaxLights];
uniform vec4 uLightDiffuse[kMaxLights];
uniform vec4 uLightSpecular[kMaxLights];
uniform int uTextured;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    vec3 n = normalize(vNormal);
    vec3 toEye = normalize(-vEyePosition);
    vec3 colour = uWorldAmbient.rgb * uAmbient.rgb;
    for (int i = 0; i < kMaxLights; ++i) {
        if (i >= uLightCount) break;
        vec4 p = uLightPosition[i];
        vec3 l = p.w != 0.0 ? normalize(p.xyz / p.w - vEyePosition) : normalize(p.xyz);
        float lambert = dot(n, l);
        colour += uLightAmbient[i].rgb * uAmbient.rgb;
        if (lambert > 0.0) {
            colour += uLightDiffuse[i].rgb * uDiffuse.rgb * lambert;
            // A shininess of 0 is a flat highlight over the whole lit side, as the classic lamp has it.
            float facing = max(dot(n, normalize(l + toEye)), 0.0);
            float spot = uShininess > 0.0 ? pow(facing, uShininess) : 1.0;
            colour += uLightSpecular[i].rgb * uSpecular.rgb * spot;
        }
    }
    vec4 texel = uTextured != 0 ? texture(uTexture, vUv) : vec4(1.0);
    fragColor = vec4(clamp(colour, 0.0, 1.0), uDiffuse.a) * texel;
}
)";

// Meshes whose lit colour is known to clamp to white everywhere on screen: the
// texel as it is. The vertex stage computes the position exactly as the lit
// program does, so both cover the same pixels with the same depths and texels.
inline constexpr const char* kUnlitVertex = R"(#version 300 es
layout(location = 0) in vec3 aPosition;
layout(location = 2) in vec2 aUv;
uniform mat4 uModelView;
uniform mat4 uProjection;
out vec2 vUv;
void main() {
    vec4 eye = uModelView * vec4(aPosition, 1.0);
    vUv = aUv;
    gl_Position = uProjection * eye;
}
)";

inline constexpr const char* kUnlitFragment = R"(#version 300 es
precision highp float;
in vec2 vUv;
uniform float uAlpha;
uniform int uTextured;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    vec4 texel = uTextured != 0 ? texture(uTexture, vUv) : vec4(1.0);
    fragColor = vec4(1.0, 1.0, 1.0, uAlpha) * texel;
}
)";

} // namespace terrabo::shaders
