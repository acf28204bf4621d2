#include "engine/Sprite.h"

#include "engine/Director.h"
#include "engine/render/Renderer.h"
#include "platform/Log.h"

namespace terrabo {

std::shared_ptr<Sprite> Sprite::create(const std::string& fileName) {
    Picture picture = Director::shared().imageCache().picture(fileName);
    if (!picture)
        logLine("sprite image %s is missing", fileName.c_str());
    return std::make_shared<Sprite>(std::move(picture));
}

Sprite::Sprite(Picture picture) { setPicture(std::move(picture)); }

void Sprite::setPicture(Picture picture) {
    picture_ = std::move(picture);
    noteSceneChange();
    setContentSize(picture_.pointSize());
}

void Sprite::draw(Renderer* renderer, const Mat4& transform) {
    if (!renderer || !picture_ || opacity() == 0)
        return;
    renderer->drawPicture(picture_, transform, contentSize(), color(), opacity(), flipX(), flipY());
}

} // namespace terrabo
