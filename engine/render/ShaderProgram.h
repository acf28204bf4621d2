#pragma once

namespace terrabo {

struct GlApi;

// Compiles and links a vertex and a fragment shader. Returns 0 after logging
// the driver's message when either step fails; `name` says which program.
unsigned buildShaderProgram(const GlApi& gl, const char* name, const char* vertexSource,
                            const char* fragmentSource);

} // namespace terrabo
