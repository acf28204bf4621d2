#include "engine/Node.h"

#include "engine/ActionManager.h"
#include "engine/Director.h"
#include "engine/Scheduler.h"

#include <algorithm>

namespace terrabo {
namespace {
long long nextArrival() {
    static long long counter = 0;
    return ++counter;
}
std::uint64_t g_sceneRevision = 0;
} // namespace

std::uint64_t sceneRevision() { return g_sceneRevision; }
void noteSceneChange() { ++g_sceneRevision; }

Node::Node() = default;

Node::~Node() {
    for (auto& child : children_)
        child->parent_ = nullptr;
    // A node dropped without clean-up leaves paused entries behind; a later node
    // at the same address would otherwise wake them.
    if (Director* director = Director::live()) {
        director->scheduler().unscheduleAll(this);
        director->actionManager().removeAllActionsFromTarget(this);
    }
}

void Node::addChild(std::shared_ptr<Node> child, int z) {
    if (!child || child->parent_)
        return;
    child->parent_ = this;
    child->z_ = z;
    child->arrival_ = nextArrival();
    children_.push_back(child);
    sortChildren();
    noteSceneChange();
    for (Node* n = this; n; n = n->parent_)
        n->descendantAdded(*child);
    if (running_)
        child->onEnter();
}

void Node::sortChildren() {
    std::stable_sort(children_.begin(), children_.end(), [](const auto& a, const auto& b) {
        return a->z_ != b->z_ ? a->z_ < b->z_ : a->arrival_ < b->arrival_;
    });
}

void Node::removeChild(Node* child, bool cleanupChild) {
    auto it = std::find_if(children_.begin(), children_.end(),
                           [&](const auto& c) { return c.get() == child; });
    if (it == children_.end())
        return;
    std::shared_ptr<Node> keep = *it;
    if (keep->running_)
        keep->onExit();
    if (cleanupChild)
        keep->cleanup();
    keep->parent_ = nullptr;
    children_.erase(std::find(children_.begin(), children_.end(), keep));
    noteSceneChange();
}

void Node::removeFromParent(bool cleanupSelf) {
    if (parent_)
        parent_->removeChild(this, cleanupSelf);
}

void Node::removeAllChildren(bool cleanupChildren) {
    while (!children_.empty())
        removeChild(children_.back().get(), cleanupChildren);
}

void Node::onEnter() {
    running_ = true;
    Director& director = Director::shared();
    director.scheduler().resumeTarget(this);
    director.actionManager().resumeTarget(this);
    const auto children = children_;
    for (auto& child : children)
        child->onEnter();
}

void Node::onExit() {
    running_ = false;
    Director& director = Director::shared();
    director.scheduler().pauseTarget(this);
    director.actionManager().pauseTarget(this);
    const auto children = children_;
    for (auto& child : children)
        child->onExit();
}

void Node::cleanup() {
    stopAllActions();
    Director::shared().scheduler().unscheduleAll(this);
    for (auto& child : children_)
        child->cleanup();
}

void Node::scheduleUpdate(int priority) {
    Director::shared().scheduler().scheduleUpdate(this, priority, !running_,
                                                  [this](float dt) { update(dt); });
}

void Node::unscheduleUpdate() {
    Director::shared().scheduler().unscheduleUpdate(this);
}

void Node::schedule(const std::string& key, std::function<void()> action, float interval) {
    Director::shared().scheduler().schedule(this, key, std::move(action), interval, !running_);
}

void Node::runAction(std::shared_ptr<Action> action) {
    if (action)
        Director::shared().actionManager().addAction(std::move(action), this, !running_);
}

void Node::stopAllActions() {
    Director::shared().actionManager().removeAllActionsFromTarget(this);
}

int Node::runningActionCount() const {
    return Director::shared().actionManager().runningActionCount(this);
}

Mat4 Node::nodeToParentTransform() const {
    // Position the anchor point, then rotate and scale about it.
    Mat4 t = Mat4::translation({position_.x, position_.y, 0.0f});
    if (rotation_ != 0.0f)
        t = t * Mat4::rotationZ(-rotation_);
    t = t * Mat4::scaling({scaleX_, scaleY_, 1.0f});
    return t * Mat4::translation(
                   {-anchor_.x * contentSize_.width, -anchor_.y * contentSize_.height, 0.0f});
}

Mat4 Node::nodeToWorldTransform() const {
    Mat4 t = nodeToParentTransform();
    for (const Node* p = parent_; p; p = p->parent_)
        t = p->nodeToParentTransform() * t;
    return t;
}

Vec2 Node::convertToNodeSpace(Vec2 worldPoint) const {
    // Node transforms are scale, z-rotation and translation; invert them step by step.
    std::vector<const Node*> chain;
    for (const Node* n = this; n; n = n->parent_)
        chain.push_back(n);
    Vec2 p = worldPoint;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Node* n = *it;
        p = {p.x - n->position_.x, p.y - n->position_.y};
        if (n->rotation_ != 0.0f) {
            const Vec3 r = Mat4::rotationZ(n->rotation_).transformPoint({p.x, p.y, 0.0f});
            p = {r.x, r.y};
        }
        p = {n->scaleX_ != 0.0f ? p.x / n->scaleX_ : 0.0f,
             n->scaleY_ != 0.0f ? p.y / n->scaleY_ : 0.0f};
        p = {p.x + n->anchor_.x * n->contentSize_.width,
             p.y + n->anchor_.y * n->contentSize_.height};
    }
    return p;
}

Vec2 Node::convertTouchToNodeSpace(Vec2 viewPoint) const {
    return convertToNodeSpace(Director::shared().convertToGL(viewPoint));
}

Rect Node::boundingBox() const {
    // All four corners: a rotated node's box is not spanned by two of them.
    const Mat4 t = nodeToParentTransform();
    const float w = contentSize_.width, h = contentSize_.height;
    const Vec3 corners[] = {t.transformPoint({0, 0, 0}), t.transformPoint({w, 0, 0}),
                            t.transformPoint({0, h, 0}), t.transformPoint({w, h, 0})};
    float x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const Vec3& c : corners) {
        x0 = std::min(x0, c.x);
        x1 = std::max(x1, c.x);
        y0 = std::min(y0, c.y);
        y1 = std::max(y1, c.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

bool Node::isShown() const {
    for (const Node* n = this; n; n = n->parent_)
        if (!n->visible_)
            return false;
    return true;
}

void Node::visit(Renderer* renderer, const Mat4& parentTransform) {
    if (!visible_)
        return;
    const Mat4 transform = parentTransform * nodeToParentTransform();
    std::size_t i = 0;
    for (; i < children_.size() && children_[i]->z_ < 0; ++i)
        children_[i]->visit(renderer, transform);
    draw(renderer, transform);
    for (; i < children_.size(); ++i)
        children_[i]->visit(renderer, transform);
}

} // namespace terrabo
