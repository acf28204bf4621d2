#pragma once

namespace terrabo::shaders {

// Pictures: premultiplied texels times a premultiplied tint.
inline constexpr const char* kSpriteVertex = R"(#version 300 es
layout(location = 0) in vec2 aPosition;
layout(location = 1) in vec2 aUv;
uniform mat4 uMvp;
out vec2 vUv;
void main() {
    vUv = aUv;
    gl_Position = uMvp * vec4(aPosition, 0.0, 1.0);
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

// Meshes: the classic lamp model per fragment (world ambient, diffuse, Blinn
// specular), the texture modulating the lit colour.
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
uniform vec4 uLightDiffuse[kMaxLights];
uniform vec4 uLightSpecular[kMaxLights];
uniform vec4 uLightAmbient[kMaxLights];
uniform int uTextured;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    vec3 n = normalize(vNormal);
    if (!gl_FrontFacing) n = -n;
    vec3 toEye = normalize(-vEyePosition);
    vec3 colour = uWorldAmbient.rgb * uAmbient.rgb;
    vec3 highlight = vec3(0.0);
    for (int i = 0; i < kMaxLights; ++i) {
        if (i >= uLightCount) break;
        vec4 p = uLightPosition[i];
        vec3 l = p.w > 0.0 ? normalize(p.xyz - vEyePosition) : normalize(p.xyz);
        float diffuse = max(dot(n, l), 0.0);
        colour += uLightAmbient[i].rgb * uAmbient.rgb + uLightDiffuse[i].rgb * uDiffuse.rgb * diffuse;
        if (diffuse > 0.0 && uShininess > 0.0) {
            vec3 h = normalize(l + toEye);
            highlight += uLightSpecular[i].rgb * uSpecular.rgb * pow(max(dot(n, h), 0.0), uShininess);
        }
    }
    vec4 base = uTextured != 0 ? texture(uTexture, vUv) : vec4(1.0);
    fragColor = vec4(min(colour, vec3(1.0)) * base.rgb + highlight, uDiffuse.a * base.a);
}
)";

} // namespace terrabo::shaders
