// Sprite animation recipes: "[anim out.xml]" writes a "kvanimation" 1.2 file.
//   scene NAME res=WxH loop=-1|1 pendulum=0|1   starts a scene (res defaults to the first picture's size)
//   track PICTURE x= y= motion= ms= delay= amount= name=  one animated picture of the scene;
//                                                 name= names its anim "ani_<name>" for the game
//   digitscenes PREFIX EXT                       scenes "0".."9", each showing PREFIX<d>EXT still
// Positions are in units of the scene's reference size and place the picture's centre; with the
// reference size equal to the picture's size, x=0.5 y=0.5 puts its top-left at the origin.
// Every frame carries all eight channels and "visible", which both of the game's readers need.
#include <cmath>
#include <cstdio>

#include <tinyxml.h>

#include "Generator.h"

namespace assetgen {
namespace {

struct State {
  double posx = 0.5, posy = 0.5, centerx = 0.5, centery = 0.5, scalex = 1, scaley = 1, rotate = 0, alpha = 1;
};

struct Key {
  double ms;
  State state;
};

struct Track {
  std::string picture;
  std::string object;  // the object's name; its anim is "ani_" + object
  int width = 0, height = 0;
  std::vector<Key> keys;
};

struct Scene {
  std::string name;
  int resX = 0, resY = 0;
  int loop = -1;
  int pendulum = 0;
  std::vector<Track> tracks;
};

std::string Num(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4f", std::abs(value) < 5e-5 ? 0.0 : value);
  std::string text = buffer;
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text;
}

// The key states of one motion, as (fraction of the period, state) pairs.
std::vector<std::pair<double, State>> Motion(const RecipeLine& line, const State& base, double pxX, double pxY) {
  const std::string motion = line.Option("motion", std::string("still"));
  auto with = [&](auto change) {
    State s = base;
    change(s);
    return s;
  };
  const double amount = line.Option("amount", -1.0);
  auto amountOr = [amount](double fallback) { return amount < 0 ? fallback : amount; };
  if (motion == "still") return {{0, base}, {1, base}};
  if (motion == "pulse") {
    double a = amountOr(0.15);
    return {{0, base}, {0.5, with([a](State& s) { s.scalex = s.scaley = 1 + a; })}, {1, base}};
  }
  if (motion == "spin")
    return {{0, base}, {0.5, with([](State& s) { s.rotate = 180; })}, {1, with([](State& s) { s.rotate = 360; })}};
  if (motion == "blink") return {{0, base}, {0.5, with([](State& s) { s.alpha = 0.25; })}, {1, base}};
  if (motion == "bob") {
    double dy = amountOr(6) * pxY;
    return {{0, base}, {0.5, with([dy](State& s) { s.posy -= dy; })}, {1, base}};
  }
  if (motion == "sway") {
    double a = amountOr(10);
    return {{0, base}, {0.25, with([a](State& s) { s.rotate = a; })}, {0.75, with([a](State& s) { s.rotate = -a; })}, {1, base}};
  }
  if (motion == "press") {
    double a = amountOr(0.85);
    State pressed = with([a](State& s) { s.scalex = s.scaley = a; });
    return {{0, base}, {0.4, pressed}, {1, pressed}};
  }
  if (motion == "pop")
    return {{0, with([](State& s) { s.scalex = s.scaley = 0.3; s.alpha = 0; })},
            {0.35, with([](State& s) { s.scalex = s.scaley = 1.15; })},
            {0.6, base},
            {1, base}};
  // Pops in like "pop", holds, and fades out by the end: for one-shot banners that must not
  // stay on their last frame.
  if (motion == "flash")
    return {{0, with([](State& s) { s.scalex = s.scaley = 0.3; s.alpha = 0; })},
            {0.25, with([](State& s) { s.scalex = s.scaley = 1.15; })},
            {0.4, base},
            {0.8, base},
            {1, with([](State& s) { s.scalex = s.scaley = 1.1; s.alpha = 0; })}};
  if (motion == "burst")
    return {{0, with([](State& s) { s.scalex = s.scaley = 0.4; })},
            {1, with([](State& s) { s.scalex = s.scaley = 1.5; s.alpha = 0; })}};
  if (motion == "rise") {
    double dy = amountOr(30) * pxY;
    return {{0, with([](State& s) { s.alpha = 0; s.scalex = s.scaley = 0.8; })},
            {0.2, with([](State& s) { s.scalex = s.scaley = 1.1; })},
            {0.8, with([dy](State& s) { s.posy -= dy; })},
            {1, with([dy](State& s) { s.posy -= dy; s.alpha = 0; })}};
  }
  if (motion == "fadein") return {{0, with([](State& s) { s.alpha = 0; })}, {1, base}};
  if (motion == "fadeout") return {{0, base}, {1, with([](State& s) { s.alpha = 0; })}};
  if (motion == "dim") {
    State dim = with([](State& s) { s.alpha = 0.4; });
    return {{0, dim}, {1, dim}};
  }
  if (motion == "slide") {
    double dx = amountOr(40) * pxX;
    return {{0, with([dx](State& s) { s.posx -= dx; s.alpha = 0; })}, {0.5, base}, {1, base}};
  }
  line.Fail("unknown motion '" + motion + "'");
}

Track MakeTrack(Generator& gen, const RecipeLine& line, Scene& scene) {
  Track track;
  track.picture = FileNameOf(line.Text(1));
  track.object = line.Option("name", std::string());
  const Canvas* picture = gen.FindImage(track.picture);
  if (picture == nullptr) line.Fail("no recipe makes the picture " + track.picture);
  track.width = picture->Width();
  track.height = picture->Height();
  if (scene.resX == 0) {
    scene.resX = track.width;
    scene.resY = track.height;
  }
  State base;
  base.posx = line.Option("x", 0.5);
  base.posy = line.Option("y", 0.5);
  const double ms = line.Option("ms", 600.0), delay = line.Option("delay", 0.0);
  if (ms <= 0 || delay < 0) line.Fail("ms must be above 0 and delay not below 0");
  auto keys = Motion(line, base, 1.0 / scene.resX, 1.0 / scene.resY);
  if (delay > 0) track.keys.push_back(Key{0, keys.front().second});
  for (const auto& [fraction, state] : keys) track.keys.push_back(Key{std::round(delay + fraction * ms), state});
  return track;
}

// Tracks that end before the scene's last key hold their last state until then.
void EvenOut(Scene& scene) {
  double end = 0;
  for (const Track& t : scene.tracks) end = std::max(end, t.keys.back().ms);
  for (Track& t : scene.tracks)
    if (t.keys.back().ms < end) t.keys.push_back(Key{end, t.keys.back().state});
}

void ParseRes(const RecipeLine& line, Scene& scene) {
  std::string res = line.Option("res", std::string());
  if (res.empty()) return;
  if (std::sscanf(res.c_str(), "%dx%d", &scene.resX, &scene.resY) != 2 || scene.resX < 1 || scene.resY < 1)
    line.Fail("res is written WxH");
}

TiXmlElement* Channel(const char* name, double value) {
  auto* e = new TiXmlElement(name);
  e->SetAttribute("val", Num(value));
  return e;
}

std::string ObjectName(const Track& t, size_t index) {
  if (!t.object.empty()) return t.object;
  return "t" + std::to_string(index) + "_" + t.picture.substr(0, t.picture.find('.'));
}

TiXmlElement* SceneElement(const Scene& scene) {
  auto* e = new TiXmlElement("scene");
  e->SetAttribute("name", scene.name);
  for (size_t i = 0; i < scene.tracks.size(); ++i) {
    const Track& t = scene.tracks[i];
    std::string object = ObjectName(t, i);
    auto* asset = new TiXmlElement("asset");
    asset->SetAttribute("type", "IMAGE");
    asset->SetAttribute("name", "IMAGE_" + object);
    asset->SetAttribute("path", t.picture);
    auto* rect = new TiXmlElement("rect");
    rect->SetAttribute("l", 0);
    rect->SetAttribute("t", 0);
    rect->SetAttribute("r", t.width);
    rect->SetAttribute("b", t.height);
    asset->LinkEndChild(rect);
    e->LinkEndChild(asset);
  }
  auto* res = new TiXmlElement("param");
  res->SetAttribute("type", "RES");
  res->SetAttribute("x", scene.resX);
  res->SetAttribute("y", scene.resY);
  e->LinkEndChild(res);
  auto* loop = new TiXmlElement("param");
  loop->SetAttribute("type", "LOOP");
  loop->SetAttribute("cnt", scene.loop);
  loop->SetAttribute("pendulum", scene.pendulum);
  e->LinkEndChild(loop);
  for (size_t i = 0; i < scene.tracks.size(); ++i) {
    const Track& t = scene.tracks[i];
    std::string object = ObjectName(t, i);
    auto* o = new TiXmlElement("object");
    o->SetAttribute("name", object);
    o->SetAttribute("ani", "ani_" + object);
    auto* link = new TiXmlElement("asset");
    link->SetAttribute("link", "IMAGE_" + object);
    link->SetAttribute("type", "Image");
    o->LinkEndChild(link);
    e->LinkEndChild(o);
  }
  for (size_t i = 0; i < scene.tracks.size(); ++i) {
    const Track& t = scene.tracks[i];
    std::string object = ObjectName(t, i);
    auto* anim = new TiXmlElement("anim");
    anim->SetAttribute("name", "ani_" + object);
    for (const Key& k : t.keys) {
      auto* frame = new TiXmlElement("frame");
      frame->SetAttribute("cnt", static_cast<int>(k.ms));
      frame->LinkEndChild(Channel("posx", k.state.posx));
      frame->LinkEndChild(Channel("posy", k.state.posy));
      frame->LinkEndChild(Channel("centerx", k.state.centerx));
      frame->LinkEndChild(Channel("centery", k.state.centery));
      frame->LinkEndChild(Channel("scalex", k.state.scalex));
      frame->LinkEndChild(Channel("scaley", k.state.scaley));
      frame->LinkEndChild(Channel("rotate", k.state.rotate));
      frame->LinkEndChild(Channel("alpha", k.state.alpha));
      frame->LinkEndChild(Channel("visible", 1));
      anim->LinkEndChild(frame);
    }
    e->LinkEndChild(anim);
  }
  return e;
}

}  // namespace

void MakeAnimation(Generator& gen, const Recipe& recipe) {
  std::vector<Scene> scenes;
  for (const RecipeLine& line : recipe.lines) {
    const std::string& op = line.Text(0);
    if (op == "scene") {
      Scene scene;
      scene.name = line.Text(1);
      scene.loop = static_cast<int>(line.Option("loop", -1.0));
      scene.pendulum = static_cast<int>(line.Option("pendulum", 0.0));
      ParseRes(line, scene);
      scenes.push_back(scene);
    } else if (op == "track") {
      if (scenes.empty()) line.Fail("a track comes before any scene");
      scenes.back().tracks.push_back(MakeTrack(gen, line, scenes.back()));
    } else if (op == "digitscenes") {
      for (int d = 0; d <= 9; ++d) {
        Scene scene;
        scene.name = std::to_string(d);
        RecipeLine still(line.Where(), {"track", line.Text(1) + std::to_string(d) + line.Text(2)}, {});
        scene.tracks.push_back(MakeTrack(gen, still, scene));
        scenes.push_back(scene);
      }
    } else {
      line.Fail("unknown animation operation '" + op + "'");
    }
  }
  if (scenes.empty()) recipe.header.Fail("an animation needs at least one scene");
  TiXmlDocument doc;
  auto* root = new TiXmlElement("kvanimation");
  root->SetAttribute("version", "1.2");
  for (Scene& scene : scenes) {
    if (scene.tracks.empty()) recipe.header.Fail("scene '" + scene.name + "' has no track");
    EvenOut(scene);
    root->LinkEndChild(SceneElement(scene));
  }
  doc.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
  doc.LinkEndChild(root);
  if (!doc.SaveFile(gen.OutputPath(recipe.Output()))) recipe.header.Fail("the animation could not be written");
}

}  // namespace assetgen
