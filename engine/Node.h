#pragma once

#include "engine/math/Mat4.h"
#include "engine/math/Vec.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace terrabo {

class Action;
class Renderer;

// Counts every change that shows on screen (geometry, look, tree), so that a
// frame after which it stands still need not be drawn again.
std::uint64_t sceneRevision();
void noteSceneChange();

// A 2D scene-graph node. Children are ordered by z, then by insertion; they are
// drawn in that order, negative z behind the node's own content.
class Node : public std::enable_shared_from_this<Node> {
  public:
    Node();
    virtual ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    // Tree.
    void addChild(std::shared_ptr<Node> child, int z = 0);
    // Removing with clean-up stops the child's actions and updates for good.
    void removeChild(Node* child, bool cleanup = true);
    void removeFromParent(bool cleanup = true);
    void removeAllChildren(bool cleanup = true);
    const std::vector<std::shared_ptr<Node>>& children() const { return children_; }
    Node* parent() const { return parent_; }
    int zOrder() const { return z_; }

    // Geometry, in points of the parent's space (engine convention: y up).
    Vec2 position() const { return position_; }
    void setPosition(Vec2 p) { assign(position_, p); }
    float scaleX() const { return scaleX_; }
    float scaleY() const { return scaleY_; }
    void setScale(float s) {
        assign(scaleX_, s);
        assign(scaleY_, s);
    }
    void setScaleX(float s) { assign(scaleX_, s); }
    void setScaleY(float s) { assign(scaleY_, s); }
    float rotation() const { return rotation_; }
    void setRotation(float degrees) { assign(rotation_, degrees); }
    Size contentSize() const { return contentSize_; }
    void setContentSize(Size s) { assign(contentSize_, s); }
    // Anchor as a fraction of the content size; the middle by default.
    Vec2 anchor() const { return anchor_; }
    void setAnchor(Vec2 a) { assign(anchor_, a); }

    // Look.
    std::uint8_t opacity() const { return opacity_; }
    void setOpacity(std::uint8_t o) { assign(opacity_, o); }
    Color3B color() const { return color_; }
    void setColor(Color3B c) { assign(color_, c); }
    bool flipY() const { return flipY_; }
    void setFlipY(bool f) { assign(flipY_, f); }
    bool flipX() const { return flipX_; }
    void setFlipX(bool f) { assign(flipX_, f); }
    bool visible() const { return visible_; }
    void setVisible(bool v) { assign(visible_, v); }
    // Visible together with every ancestor.
    bool isShown() const;
    const std::string& name() const { return name_; }
    void setName(std::string n) { name_ = std::move(n); }

    // Stage.
    bool isRunning() const { return running_; }
    virtual void onEnter();
    virtual void onExit();
    void cleanup();

    // Per-frame update (registered paused while off stage).
    void scheduleUpdate(int priority = 0);
    void unscheduleUpdate();
    virtual void update(float) {}
    // A repeating timer; scheduling the same key again only sets its interval.
    void schedule(const std::string& key, std::function<void()> action, float interval);
    void runAction(std::shared_ptr<Action> action);
    void stopAllActions();
    int runningActionCount() const;

    // Transforms.
    Mat4 nodeToParentTransform() const;
    Mat4 nodeToWorldTransform() const;
    Vec2 convertToNodeSpace(Vec2 worldPoint) const;
    // A point in the view's convention (y down) into this node's space.
    Vec2 convertTouchToNodeSpace(Vec2 viewPoint) const;
    // The content rectangle in the parent's space.
    Rect boundingBox() const;

    // Drawing.
    virtual void visit(Renderer* renderer, const Mat4& parentTransform);
    virtual void draw(Renderer*, const Mat4&) {}

  protected:
    // Told of every node added under this one, at any depth.
    virtual void descendantAdded(Node&) {}
    // Sets a field that shows on screen, noting a change only when there is one.
    template <class T> static void assign(T& field, const T& value) {
        if (field == value)
            return;
        field = value;
        noteSceneChange();
    }

  private:
    void sortChildren();

    std::vector<std::shared_ptr<Node>> children_;
    Node* parent_ = nullptr;
    int z_ = 0;
    long long arrival_ = 0;
    Vec2 position_;
    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;
    float rotation_ = 0.0f;
    Size contentSize_;
    Vec2 anchor_{0.5f, 0.5f};
    std::uint8_t opacity_ = 255;
    Color3B color_;
    bool flipX_ = false;
    bool flipY_ = false;
    bool visible_ = true;
    bool running_ = false;
    std::string name_;
};

} // namespace terrabo
