// Checks the run folder the build made: every file that the skin table, the sound list and the
// other start-up data name exists where the game looks for it, and opens with the libraries the
// game reads it with (TinyXML, stb_image, vorbisfile, FFmpeg, FreeType).
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <cstdio>
#include <set>

#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <vorbis/vorbisfile.h>

#include <ft2build.h>
#include FT_FREETYPE_H

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "RunFolder.h"
#include "TextRenderer.h"

using runfolder::Find;
using runfolder::LoadXml;

namespace {

const char* const kSkinKeys[131] = {
    "MouseCursor_Normal", "MouseCursor_SNormal", "MouseCursor_Block", "MouseCursor_Button", "MouseCursor_Warning",
    "MouseCursor_Effect", "LayoutCombo", "LayoutGalaxyMarket", "LayoutPointChallenge", "LayoutBattleCom",
    "LayoutBattleUser", "LayoutBattlePVP", "LayoutPush", "LayoutPause", "LayoutPuzzle4", "LayoutPuzzle6",
    "LayoutPuzzle8", "LayoutPuzzle10", "LayoutPuzzle12", "LayoutPuzzle14", "LayoutIQPuzzle", "LayoutIQPuzzleEditor",
    "LayoutPuzzleBack", "LayoutStageComboBack", "LayoutStagePointBack", "HP_Tower_User", "HP_Tower_Enemy",
    "Num_Battle_AttackLine", "Num_Battle_ResourceBtn", "Num_Common_ComboRate", "Num_Common_Point_Time", "Num_Battle_HP",
    "Num_Common_ComboCount", "Num_Common_BlockClear_Effect", "Num_Common_BlockClear_Effect_Large",
    "Num_Common_BlockClear_Effect_White", "Num_Common_BlockClear_Effect_Large_White", "Num_ComboChal_CurCombo",
    "Num_ComboChal_BestComboOn", "Num_ComboChal_BestComboOff", "Num_StageChal_Time", "Num_StageChal_CountDown",
    "Num_StageChal_Goal", "Num_StageChal_Current", "Num_IQ_CurTime", "Num_IQ_BestTimeOn", "Num_IQ_BestTimeOff",
    "Num_StageChal_StartInfo", "Num_Common_Combo_Effect", "Num_StageChal_BestRecord", "Num_StageChal_CurStage",
    "Num_PointChal_Score", "Num_PointChal_Time", "Num_PointChal_CountdownTime", "Num_Point_Rank", "BattleEnemybullet",
    "BattleEnemybulletDummy", "Result_Win", "Result_Lose", "Result_Clear", "Result_Fail", "Block1S", "Block2S",
    "Block3S", "BlockStarS", "BlockStoneS", "BlockBufferS", "BlockRockS", "BlockClearBouns", "BlockMagicTurn",
    "BlockEffectHero", "BlockEffectHero_Enemy", "PlayerEffectCrazy", "BlockEffectCrazy", "BlockEffectCrazy_Enemy",
    "BlockEffectMsg", "Block1L", "Block2L", "Block3L", "BlockStarL", "BlockStoneL", "BlockBufferL", "BlockRockL",
    "BlockNumColor", "BlockPoint1", "BlockPoint2", "BlockPoint3", "BlockPoint1R", "BlockPoint2R", "BlockPoint3R",
    "BlockPointNum", "BlockPointColor", "Effect_Combo", "Effect_SCombo", "Effect_Combo_Break", "Effect_SpeedUp",
    "Effect_ReadyGo", "Effect_StageReadyGo", "Effect_StarOver", "Effect_Combolife", "BlockPin", "BlockErase",
    "BlockHandRight1", "BlockHandRight2", "BlockHandRight3", "BlockHandBottom1", "BlockHandBottom2",
    "BlockHandBottom3", "AttackBlock_User_1", "AttackBlock_User_2", "AttackBlock_User_3", "AttackBlock_User_Star",
    "AttackBlock_Enemy_1", "AttackBlock_Enemy_2", "AttackBlock_Enemy_3", "AttackBlock_Enemy_Star",
    "AttackBlock_User_BlockCount", "AttackBlock_Enemy_BlockCount", "VanteoEffect", "AttackEffect_User",
    "AttackEffect_Enemy", "PointSign", "PointChal_BounsTime", "Item_hpPlus", "Item_hpMinus", "Item_sizeX2",
    "Item_sizeX4", "Item_hero", "Item_Stun", "AttackLine_Mine_User", "AttackLine_Mine_Enemy"};

const char* const kSoundKeys[116] = {
    "Click", "ClickStar", "ItemDrop", "AllClear", "AllClearTail", "ComboStart", "ComboStartVoice", "AllClear5",
    "Rotate", "UnlockItem", "UnlockItemFail", "GameModeUnlock", "Unlock_Achievements", "MagicTurn", "DoubleChance",
    "Double", "ClickLoss", "ReadyGo", "ReadyGoIQ", "Eraser", "BGM_Opening1", "BGM_Opening2", "BGM_Opening3",
    "BGM_OpeningLoop", "BGM_Menu", "BGM_Credit", "BGM_BATTLE", "BGM_PUZZLE", "BGM_IQPUZZLE", "BGM_IQPUZZLELIST",
    "BGM_PUSH", "BGM_RESULT", "PushGoUser", "PushGoCom", "PushAttackingBase", "PushAttackingVoice",
    "PushAttackedBase", "PushAttackedVoice", "AttackingBase1", "AttackingBase2", "AttackingBase3", "AttackingVoice1",
    "AttackingVoice2", "AttackedBase1", "AttackedBase2", "AttackedBase3", "AttackedVoice1", "AttackedVoice2",
    "CrazyLoopUser", "CrazyJumpUser", "CrazyLoopCom", "CrazyJumpCom", "Slip", "RemovePin", "Alert", "GoSmallUser",
    "GoUser", "GoBigUser", "GoCrazyUser", "GoSmallCom", "GoCom", "GoBigCom", "GoCrazyCom", "Vanteo", "LastAttacking",
    "LastAttacked", "Result_NewRecord", "Result_GameOver", "IQPuzzle_Clear", "IQPuzzle_Fail", "IQPuzzle_BlockDown",
    "UpSizing", "Invinsible", "BigStar", "BigStarLast", "BigStarCom", "BigStone", "BigStoneCom", "KillPin", "SpeedUp",
    "DownSizing", "BlockDrop", "PenaltySmall", "PenaltyBig", "MaxCombo10", "MaxCombo100", "MC_PlusOne", "MC_PlusFull",
    "MC_EraseBlock", "SC_SelectStage", "SC_ComboBreak", "SC_PointUp1", "SC_PointUp2", "SC_PointUp3", "SC_ComboUp",
    "SC_Countdown_3", "SC_Countdown_10", "PC_ReadyGo", "PC_PlayEnd", "PC_BonusTime", "PC_10Sec", "PC_AllClearN",
    "PC_AllClearNN", "PC_Alert50", "PC_Alert57", "PC_PointSign1", "PC_PointSign2", "PC_PointSign3", "PC_PointUp1",
    "PC_PointUp2", "PC_PointUp3", "PC_EraseBlock", "Multi_GuestIn", "Multi_Ready", "Multi_NoReady", "Multi_ChatMsg"};

struct ImageSize {
  int width = 0, height = 0;
};

ImageSize LoadImage(const std::filesystem::path& path) {
  int w = 0, h = 0, n = 0;
  stbi_uc* pixels = stbi_load(path.string().c_str(), &w, &h, &n, 4);
  EXPECT_NE(pixels, nullptr) << path << ": " << stbi_failure_reason();
  stbi_image_free(pixels);
  return ImageSize{w, h};
}

// Checks a sprite animation as both of the game's readers need it and returns its scene names.
std::set<std::string> CheckAnimation(const std::filesystem::path& path) {
  std::set<std::string> scenes;
  TiXmlDocument doc;
  if (!LoadXml(doc, path)) return scenes;
  const TiXmlElement* root = doc.RootElement();
  EXPECT_STREQ(root->Value(), "kvanimation") << path;
  EXPECT_STREQ(root->Attribute("version"), "1.2") << path;
  for (const TiXmlElement* scene = root->FirstChildElement("scene"); scene; scene = scene->NextSiblingElement("scene")) {
    scenes.insert(scene->Attribute("name"));
    std::set<std::string> assets, anims;
    for (const TiXmlElement* asset = scene->FirstChildElement("asset"); asset; asset = asset->NextSiblingElement("asset")) {
      std::string name = asset->Attribute("name");
      EXPECT_GT(name.size(), 6u) << path;
      assets.insert(name);
      std::filesystem::path picture = Find(asset->Attribute("path"));
      EXPECT_FALSE(picture.empty()) << path << " names the missing picture " << asset->Attribute("path");
      if (!picture.empty()) {
        ImageSize size = LoadImage(picture);
        const TiXmlElement* rect = asset->FirstChildElement("rect");
        if (rect == nullptr) {
          ADD_FAILURE() << path << ": an image asset without its rect";
          continue;
        }
        EXPECT_EQ(std::atoi(rect->Attribute("r")), size.width) << path;
        EXPECT_EQ(std::atoi(rect->Attribute("b")), size.height) << path;
      }
    }
    for (const TiXmlElement* anim = scene->FirstChildElement("anim"); anim; anim = anim->NextSiblingElement("anim")) {
      anims.insert(anim->Attribute("name"));
      for (const TiXmlElement* frame = anim->FirstChildElement("frame"); frame; frame = frame->NextSiblingElement("frame"))
        for (const char* channel : {"posx", "posy", "centerx", "centery", "scalex", "scaley", "rotate", "alpha", "visible"})
          EXPECT_NE(frame->FirstChildElement(channel), nullptr) << path << " lacks " << channel;
    }
    // Every object links an asset of the scene and is driven by an anim of its own.
    std::set<std::string> driven;
    for (const TiXmlElement* object = scene->FirstChildElement("object"); object; object = object->NextSiblingElement("object")) {
      const TiXmlElement* link = object->FirstChildElement("asset");
      if (link == nullptr) {
        ADD_FAILURE() << path << ": an object without an asset ends the scene";
        break;
      }
      EXPECT_TRUE(assets.count(link->Attribute("link"))) << path;
      EXPECT_TRUE(anims.count(object->Attribute("ani"))) << path;
      EXPECT_TRUE(driven.insert(object->Attribute("ani")).second) << path;
    }
    EXPECT_FALSE(driven.empty()) << path << " scene " << scene->Attribute("name") << " has no track";
  }
  return scenes;
}

void ExpectScenes(const std::set<std::string>& scenes, std::initializer_list<const char*> wanted, const std::string& file) {
  for (const char* name : wanted) EXPECT_TRUE(scenes.count(name)) << file << " lacks the scene " << name;
}

// The font file and pixel size a layout's face draws with in the game: the UI maps a label's
// face to one of the game's fonts whatever size the layout writes, and those fonts are point
// sizes at 96 dots per inch. Faces drawn from an imageset (the logo face) are left out.
struct LabelFont {
  const char* file = nullptr;
  int pixels = 0;
};
LabelFont FontOfFace(const std::string& face) {
  auto points = [](int pt) { return static_cast<int>(std::ceil(pt * 96.0 / 72.0)); };
  if (face == "KelmorSoft_logo") return {};
  if (face == "\xEB\x82\x98\xEB\x88\x94\xEA\xB3\xA0\xEB\x94\x95") return {"quiblyenglish_num.ttf", points(14)};  // 나눔고딕
  if (face == "\xEB\x82\x98\xEB\x88\x94\xEA\xB3\xA0\xEB\x94\x95 ExtraBold") return {"quiblyenglish.ttf", points(9)};
  if (face == "KelmorSoft" || face.empty()) return {"quiblyenglish.ttf", points(14)};
  return {"Daum.ttf", points(14)};  // the default face
}

// Every label of a layout: its name, width, face and static text.
struct LayoutLabel {
  std::string file, name, face, text;
  int width = 0;
};
void CollectLabels(const TiXmlElement* parent, const std::string& file, std::vector<LayoutLabel>& out) {
  for (const TiXmlElement* e = parent->FirstChildElement(); e; e = e->NextSiblingElement()) {
    const TiXmlElement* rect = e->FirstChildElement("rect");
    const char* type = e->Attribute("type");
    if (type && std::string(type) == "LABEL" && rect && e->Attribute("name")) {
      LayoutLabel label{file, e->Attribute("name"), "", "", std::atoi(rect->Attribute("r"))};
      if (const TiXmlElement* f = e->FirstChildElement("FontName"); f && f->Attribute("val")) label.face = f->Attribute("val");
      if (const TiXmlElement* t = e->FirstChildElement("label"); t && t->Attribute("val")) label.text = t->Attribute("val");
      out.push_back(label);
    }
    CollectLabels(e, file, out);
  }
}
std::vector<LayoutLabel> AllLabels() {
  std::vector<LayoutLabel> labels;
  for (const auto& [upper, path] : runfolder::Index().files) {
    if (path.extension() != ".xml") continue;
    TiXmlDocument doc;
    if (!doc.LoadFile(path.string().c_str()) || !doc.RootElement() || std::string(doc.RootElement()->Value()) != "kevrin")
      continue;
    CollectLabels(doc.RootElement(), path.filename().string(), labels);
  }
  return labels;
}

// A window's place on the screen as its layout sets it: the sum of its own and its parents'
// positions, and the size of its rect. Empty when the layout has no window of that name.
struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  bool Meets(const ScreenRect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};
bool FindWindowRect(const TiXmlElement* parent, int x, int y, const std::string& name, ScreenRect& out) {
  for (const TiXmlElement* e = parent->FirstChildElement(); e; e = e->NextSiblingElement()) {
    const TiXmlElement* pos = e->FirstChildElement("pos");
    const TiXmlElement* rect = e->FirstChildElement("rect");
    if (!pos || !rect) continue;
    const int left = x + std::atoi(pos->Attribute("x")), top = y + std::atoi(pos->Attribute("y"));
    if (e->Attribute("name") && name == e->Attribute("name")) {
      out = {left, top, left + std::atoi(rect->Attribute("r")), top + std::atoi(rect->Attribute("b"))};
      return true;
    }
    if (FindWindowRect(e, left, top, name, out)) return true;
  }
  return false;
}
ScreenRect WindowRect(const std::string& layout, const std::string& name) {
  ScreenRect rect;
  TiXmlDocument doc;
  if (LoadXml(doc, Find(layout)) && !FindWindowRect(doc.RootElement(), 0, 0, name, rect))
    ADD_FAILURE() << layout << " has no window " << name;
  return rect;
}

// The screen pixels a picture covers (alpha above 0) when drawn with its top left at (x, y).
std::vector<ScreenRect> OpaquePixels(const std::string& picture, int x, int y) {
  std::vector<ScreenRect> pixels;
  int w = 0, h = 0, n = 0;
  stbi_uc* rgba = stbi_load(Find(picture).string().c_str(), &w, &h, &n, 4);
  EXPECT_NE(rgba, nullptr) << picture;
  for (int py = 0; rgba && py < h; ++py)
    for (int px = 0; px < w; ++px)
      if (rgba[(py * w + px) * 4 + 3] > 0) pixels.push_back({x + px, y + py, x + px + 1, y + py + 1});
  stbi_image_free(rgba);
  return pixels;
}

}  // namespace

TEST(RunFolderTest, DataFileNamesAreUniqueAsTheIndexSeesThem) {
  EXPECT_TRUE(runfolder::Index().duplicates.empty())
      << "the data index would hide " << runfolder::Index().duplicates.front();
  for (const char* name : {"Null.tga", "loading.bmp", "KVSkin_Default.xml", "Vanteo_SoundList.xml",
                           "loading_Animation.xml", "KelmorCI.ogg", "TilteAni.wav"})
    EXPECT_FALSE(Find(name).empty()) << name;
  EXPECT_EQ(LoadImage(Find("loading.bmp")).width, 1024);
  EXPECT_EQ(LoadImage(Find("loading.bmp")).height, 768);
}

TEST(RunFolderTest, EveryPictureLoads) {
  int count = 0;
  for (const auto& [key, path] : runfolder::Index().files) {
    std::string ext = runfolder::Upper(path.extension().string());
    if (ext != ".TGA" && ext != ".PNG" && ext != ".BMP") continue;
    ImageSize size = LoadImage(path);
    EXPECT_GT(size.width, 0) << path;
    ++count;
  }
  EXPECT_GT(count, 100);
}

TEST(RunFolderTest, SkinTableNamesAnExistingFileForEveryEntry) {
  TiXmlDocument doc;
  ASSERT_TRUE(LoadXml(doc, Find("KVSkin_Default.xml")));
  int skins = 0;
  for (const TiXmlElement* skin = doc.FirstChildElement("VanteoSkin"); skin; skin = skin->NextSiblingElement("VanteoSkin")) {
    ++skins;
    const TiXmlElement* common = skin->FirstChildElement("Common");
    ASSERT_NE(common, nullptr);
    for (int i = 0; i < 131; ++i) {
      const char* file = common->Attribute(kSkinKeys[i]);
      ASSERT_NE(file, nullptr) << "skin " << skins << " lacks " << kSkinKeys[i];
      std::filesystem::path path = Find(file);
      ASSERT_FALSE(path.empty()) << kSkinKeys[i] << " names the missing file " << file;
      TiXmlDocument entry;
      ASSERT_TRUE(LoadXml(entry, path));
      if (std::string(kSkinKeys[i]).rfind("Layout", 0) == 0 || i == 83 || i == 91) {
        EXPECT_STREQ(entry.RootElement()->Value(), "kevrin") << file;
        EXPECT_STREQ(entry.RootElement()->Attribute("version"), "2") << file;
        continue;
      }
      std::set<std::string> scenes = CheckAnimation(path);
      if (i <= 4) ExpectScenes(scenes, {"NORMAL", "down", "default"}, file);
      if (i == 5) ExpectScenes(scenes, {"combo", "stamp"}, file);
      if (i >= 27 && i <= 54) ExpectScenes(scenes, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, file);
      if ((i >= 61 && i <= 67) || (i >= 76 && i <= 82)) ExpectScenes(scenes, {"NORMAL", "ENTER", "OVER", "LEAVE", "DOWN", "DISABLE"}, file);
    }
  }
  EXPECT_EQ(skins, 3);
}

TEST(RunFolderTest, LoadingAnimationHasOneSceneForEachLoadingMode) {
  ExpectScenes(CheckAnimation(Find("loading_Animation.xml")), {"loading_title", "loading", "connecting"}, "loading_Animation.xml");
}

TEST(RunFolderTest, SoundListNamesAPlayableSoundForEveryKey) {
  TiXmlDocument list;
  ASSERT_TRUE(LoadXml(list, Find("Vanteo_SoundList.xml")));
  ASSERT_STREQ(list.RootElement()->Value(), "SoundList");
  auto sets = runfolder::ChildNames(list.RootElement(), "sound", "file");
  ASSERT_FALSE(sets.empty());
  for (const std::string& set : sets) {
    TiXmlDocument doc;
    ASSERT_TRUE(LoadXml(doc, Find(set)));
    const TiXmlElement* sound = doc.FirstChildElement("VanteoSkin")->FirstChildElement("sound");
    ASSERT_NE(sound, nullptr) << set;
    for (int key = 0; key < 116; ++key) {
      const char* file = sound->Attribute(kSoundKeys[key]);
      ASSERT_NE(file, nullptr) << set << " lacks " << kSoundKeys[key];
      std::filesystem::path path = Find(file);
      ASSERT_FALSE(path.empty()) << kSoundKeys[key] << " names the missing sound " << file;
      bool music = key >= 20 && key <= 31;
      EXPECT_EQ(path.extension(), music ? ".ogg" : ".wav") << file;
    }
  }
}

TEST(RunFolderTest, SoundsDecodeInTheGamesFormats) {
  for (const auto& [key, path] : runfolder::Index().files) {
    std::string ext = runfolder::Upper(path.extension().string());
    if (ext == ".WAV") {
      FILE* f = std::fopen(path.string().c_str(), "rb");
      ASSERT_NE(f, nullptr);
      std::array<unsigned char, 44> h{};
      ASSERT_EQ(std::fread(h.data(), 1, h.size(), f), h.size());
      std::fclose(f);
      EXPECT_EQ(std::string(h.begin(), h.begin() + 4), "RIFF") << path;
      EXPECT_EQ(std::string(h.begin() + 8, h.begin() + 16), "WAVEfmt ") << path;
      EXPECT_EQ(h[20] | h[21] << 8, 1) << path << " is not PCM";
      EXPECT_EQ(h[34] | h[35] << 8, 16) << path;
      EXPECT_GT(h[40] | h[41] << 8 | h[42] << 16 | h[43] << 24, 0) << path;
    } else if (ext == ".OGG") {
      OggVorbis_File vf;
      ASSERT_EQ(ov_fopen(path.string().c_str(), &vf), 0) << path;
      vorbis_info* info = ov_info(&vf, -1);
      EXPECT_EQ(info->rate, 22050) << path;
      EXPECT_GT(ov_time_total(&vf, -1), 0.5) << path;
      ov_clear(&vf);
    }
  }
}

TEST(RunFolderTest, LogoMovieDecodesAsPlanarYuvAtAWholeFrameRateWithoutBands) {
  std::string path = (runfolder::Root() / "data/movie/KelmorCI.avi").string();
  AVFormatContext* format = nullptr;
  ASSERT_EQ(avformat_open_input(&format, path.c_str(), nullptr, nullptr), 0);
  ASSERT_GE(avformat_find_stream_info(format, nullptr), 0);
  int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  ASSERT_GE(index, 0);
  AVStream* stream = format->streams[index];
  EXPECT_EQ(stream->codecpar->format, AV_PIX_FMT_YUV420P);
  EXPECT_GE(stream->avg_frame_rate.num / std::max(1, stream->avg_frame_rate.den), 1);
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  ASSERT_NE(codec, nullptr);
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(ctx, stream->codecpar);
  ASSERT_EQ(avcodec_open2(ctx, codec, nullptr), 0);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  int pictures = 0;
  std::set<int> backdrop;
  // The game shows each picture as 16-bit 5-6-5 colour. Halfway through, after the fade-in, the
  // backdrop down the left edge is one 5-6-5 colour: a gradient there shows as bands.
  auto look = [&] {
    if (++pictures != 22) return;
    for (int y = 0; y < frame->height; ++y) {
      const int luma = frame->data[0][y * frame->linesize[0] + 8];
      const int u = frame->data[1][(y / 2) * frame->linesize[1] + 4] - 128;
      const int v = frame->data[2][(y / 2) * frame->linesize[2] + 4] - 128;
      const double l = 1.164 * (luma - 16);
      auto byte = [](double c) { return std::clamp(static_cast<int>(c), 0, 255); };
      const int r = byte(l + 1.596 * v), g = byte(l - 0.392 * u - 0.813 * v), b = byte(l + 2.017 * u);
      backdrop.insert((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
    }
  };
  while (av_read_frame(format, packet) >= 0) {
    if (packet->stream_index == index && avcodec_send_packet(ctx, packet) == 0)
      while (avcodec_receive_frame(ctx, frame) == 0) look();
    av_packet_unref(packet);
  }
  avcodec_send_packet(ctx, nullptr);
  while (avcodec_receive_frame(ctx, frame) == 0) look();
  EXPECT_GE(pictures, 30);
  EXPECT_EQ(backdrop.size(), 1u) << "the logo's backdrop shows " << backdrop.size() << " bands";
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&ctx);
  avformat_close_input(&format);
}

TEST(RunFolderTest, ImagesetPlacesEveryPrintableCharacterInsideItsPicture) {
  TiXmlDocument doc;
  ASSERT_TRUE(LoadXml(doc, runfolder::Root() / "data/MainUI40.imageset"));
  const TiXmlElement* root = doc.FirstChildElement("Imageset");
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(root->Attribute("Name"), "MainUI40");
  ImageSize sheet = LoadImage(Find(root->Attribute("Imagefile")));
  std::set<char> characters;
  for (const TiXmlNode* node = root->FirstChild(); node; node = node->NextSibling()) {
    const TiXmlElement* glyph = node->ToElement();
    ASSERT_NE(glyph, nullptr) << "a node that is not an element ends the glyph list";
    std::string name = glyph->Attribute("Name");
    ASSERT_EQ(name.size(), 1u);
    characters.insert(name[0]);
    int x = std::atoi(glyph->Attribute("XPos")), y = std::atoi(glyph->Attribute("YPos"));
    int w = std::atoi(glyph->Attribute("Width")), h = std::atoi(glyph->Attribute("Height"));
    EXPECT_GT(w, 0) << name;
    EXPECT_LE(x + w, sheet.width) << name;
    EXPECT_LE(y + h, sheet.height) << name;
  }
  EXPECT_EQ(characters.size(), 95u);
}

TEST(RunFolderTest, AchievementDescriptionsCoverEveryIdWithIcons) {
  TiXmlDocument doc;
  ASSERT_TRUE(LoadXml(doc, runfolder::Root() / "data/Achievment/Steam_Achievements_desc.xml"));
  std::set<int> ids;
  for (const TiXmlElement* a = doc.FirstChildElement("Achievements")->FirstChildElement("Achiev"); a;
       a = a->NextSiblingElement("Achiev")) {
    int id = std::atoi(a->Attribute("steamid"));
    EXPECT_TRUE(id >= 0 && id < 75) << id;
    EXPECT_TRUE(ids.insert(id).second) << "id " << id << " twice";
    EXPECT_FALSE(std::string(a->Attribute("desc1")).empty()) << id;
    EXPECT_LT(std::string(a->Attribute("desc1")).size(), 256u);
    for (const char* icon : {"LockImage", "UnlockImage"}) EXPECT_FALSE(Find(a->Attribute(icon)).empty()) << id << " " << icon;
  }
  EXPECT_EQ(ids.size(), 75u);
}

TEST(RunFolderTest, FontsOpenAndCoverTheirTexts) {
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  struct Font {
    const char* file;
    char32_t sample;
  };
  for (Font font : {Font{"Daum.ttf", U'\uD55C'}, Font{"quiblyenglish.ttf", U'Q'}, Font{"quiblyenglish_num.ttf", U'7'}}) {
    FT_Face face;
    ASSERT_EQ(FT_New_Face(library, (runfolder::Root() / font.file).string().c_str(), 0, &face), 0) << font.file;
    EXPECT_NE(FT_Get_Char_Index(face, font.sample), 0u) << font.file;
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
}

// The default play data travels in the initial pack; each file parses with the root its reader expects.
TEST(RunFolderTest, DefaultPlayDataParsesWithTheExpectedRoots) {
  const std::pair<const char*, const char*> files[] = {{"QuiblyConfig.xml", "VanteoConfig"},
                                                       {"QuiblyRecord.xml", "Record"},
                                                       {"QuiblyRanking.xml", "Ranking"},
                                                       {"Steam_Achievements.xml", "Achievements"}};
  for (const auto& [file, root] : files) {
    TiXmlDocument doc;
    ASSERT_TRUE(LoadXml(doc, std::filesystem::path(QUIBLY_PLAYDATA_DIR) / file));
    EXPECT_STREQ(doc.RootElement()->Value(), root) << file;
  }
  TiXmlDocument achievements;
  ASSERT_TRUE(LoadXml(achievements, std::filesystem::path(QUIBLY_PLAYDATA_DIR) / "Steam_Achievements.xml"));
  EXPECT_EQ(runfolder::ChildNames(achievements.RootElement(), "Achiev", "IsAchiev").size(), 75u);
}

// A label draws its text in one line and does not clip it: a text wider than the label runs
// over its neighbours. Every text a layout writes into a label fits it.
TEST(RunFolderTest, LayoutTextsFitTheirLabels) {
  assetgen::TextRenderer text(runfolder::Root().string());
  int checked = 0;
  for (const LayoutLabel& label : AllLabels()) {
    LabelFont font = FontOfFace(label.face);
    if (!font.file || label.text.empty()) continue;
    ++checked;
    EXPECT_LE(text.Measure(font.file, font.pixels, label.text), label.width)
        << label.file << " " << label.name << ": \"" << label.text << "\"";
  }
  EXPECT_GT(checked, 100);
}

// The achievements pop-up writes each description line into a label of its boxes: one-line
// entries into "Label_line1_on_%d", two-line ones into "Label_line2_1_on_%d" and
// "Label_line2_2_on_%d". Every line of the description file fits the label it goes to.
TEST(RunFolderTest, AchievementDescriptionsFitTheirBoxes) {
  std::map<std::string, LayoutLabel> labels;
  for (const LayoutLabel& label : AllLabels())
    if (label.file == "achievements.xml") labels[label.name] = label;
  ASSERT_TRUE(labels.count("Label_line1_on_1") && labels.count("Label_line2_1_on_1") && labels.count("Label_line2_2_on_1"));
  assetgen::TextRenderer text(runfolder::Root().string());
  auto fits = [&](const std::string& line, const LayoutLabel& label) {
    LabelFont font = FontOfFace(label.face);
    return text.Measure(font.file, font.pixels, line) <= label.width;
  };
  TiXmlDocument doc;
  ASSERT_TRUE(LoadXml(doc, runfolder::Root() / "data/Achievment/Steam_Achievements_desc.xml"));
  for (const TiXmlElement* a = doc.FirstChildElement("Achievements")->FirstChildElement("Achiev"); a;
       a = a->NextSiblingElement("Achiev")) {
    std::string desc1 = a->Attribute("desc1"), desc2 = a->Attribute("desc2") ? a->Attribute("desc2") : "";
    const char* id = a->Attribute("steamid");
    if (desc2.empty()) {
      EXPECT_TRUE(fits(desc1, labels["Label_line1_on_1"])) << id << ": " << desc1;
    } else {
      EXPECT_TRUE(fits(desc1, labels["Label_line2_1_on_1"])) << id << ": " << desc1;
      EXPECT_TRUE(fits(desc2, labels["Label_line2_2_on_1"])) << id << ": " << desc2;
    }
  }
}

// The achievement bonus line is drawn centred at y 666 over whatever scene is up, results
// included, in the game's default font (the first one made: Daum.ttf at 14 points). No button of the result pop-up lies under it.
TEST(RunFolderTest, TheAchievementBonusLineLeavesTheResultButtonsClear) {
  assetgen::TextRenderer text(runfolder::Root().string());
  const int pixels = static_cast<int>(std::ceil(14 * 96.0 / 72.0));
  const int width = text.Measure("Daum.ttf", pixels, "Unlock Achievements Bonus +100 Cube");
  const int x = (1024 - width) / 2;
  const ScreenRect line{x - 2, 666, x + width, 668 + text.LineHeight("Daum.ttf", pixels)};
  ASSERT_GT(width, 100);
  for (const char* button : {"Anibtn_result_return", "Anibtn_result_retry", "Anibtn_result_retry_self",
                             "Anibtn_result_next", "Anibtn_result_next_iq", "Anibtn_result_continue",
                             "Anibtn_result_reset_self", "Label_result_multi_wait"}) {
    const ScreenRect rect = WindowRect("result.xml", button);
    EXPECT_FALSE(rect.Empty()) << button;
    EXPECT_FALSE(rect.Meets(line)) << button << " lies under the bonus line (" << rect.top << " to " << rect.bottom << ")";
  }
}

// The room's "YOU" frame is drawn over the player's own card; its badge leaves the guest's
// READY / NOT READY marks in view.
TEST(RunFolderTest, TheRoomsYouBadgeLeavesTheReadyMarksInView) {
  const ScreenRect you = WindowRect("room.xml", "Pic_multi_room_guest_you");
  const std::vector<ScreenRect> badge = OpaquePixels("room_you.png", you.left, you.top);
  ASSERT_FALSE(badge.empty());
  for (const char* mark : {"Pic_multi_room_guest_ready", "Pic_multi_room_guest_notready"}) {
    const ScreenRect rect = WindowRect("room.xml", mark);
    ASSERT_FALSE(rect.Empty()) << mark;
    const auto covered = std::count_if(badge.begin(), badge.end(), [&](const ScreenRect& p) { return p.Meets(rect); });
    EXPECT_EQ(covered, 0) << mark;
  }
}

// The special battles' tiles say under their names what each rival does, unlocked and locked.
TEST(RunFolderTest, SpecialBattleTilesDescribeTheirRivals) {
  for (const char* mode : {"clone", "star", "stone", "big", "dash", "hell"})
    for (const std::string tile : {"geek_btn_btgeek_", "geek_lock_btn_btgeek_"}) {
      const std::string name = tile + mode + "_n.png";
      int w = 0, h = 0, n = 0;
      stbi_uc* rgba = stbi_load(Find(name).string().c_str(), &w, &h, &n, 4);
      ASSERT_NE(rgba, nullptr) << name;
      int white = 0;
      // The name sits in the upper half; the line under it reaches below y 86.
      for (int y = 86; y < std::min(h, 100); ++y)
        for (int x = 0; x < w; ++x) {
          const stbi_uc* p = rgba + (y * w + x) * 4;
          white += p[0] > 230 && p[1] > 230 && p[2] > 230 && p[3] > 200;
        }
      stbi_image_free(rgba);
      EXPECT_GT(white, 60) << name << " has no line under its name";
    }
}

// A board's combo panel shows the bonus rate as two digits and the combo count as a number.
// Its picture names both above them ("BONUS", "COMBO"), and the rate's digits stand side by side
// so that they read as one rate (with the picture's point between them), in every board layout.
TEST(RunFolderTest, ComboPanelsNameTheirNumbers) {
  int layouts = 0;
  for (const char* layout : {"LayoutPuzzle4.xml", "LayoutPuzzle6.xml", "LayoutPuzzle8.xml", "LayoutPuzzle10.xml",
                             "LayoutPuzzle12.xml", "LayoutPuzzle14.xml", "LayoutBattleCom.xml", "LayoutBattleUser.xml",
                             "LayoutPush.xml"}) {
    SCOPED_TRACE(layout);
    TiXmlDocument doc;
    ASSERT_TRUE(LoadXml(doc, Find(layout)));
    const ScreenRect panel = WindowRect(layout, "Pic_puzzle_combo_black");
    const ScreenRect count = WindowRect(layout, "Pic_num_combo");
    const ScreenRect rate1 = WindowRect(layout, "Pic_num_bonus_1"), rate2 = WindowRect(layout, "Pic_num_bonus_2");
    EXPECT_LE(rate2.left - rate1.left, 40) << "the rate's digits stand apart";
    // The panel's picture, and its light caption pixels over each number.
    std::string picture;
    std::function<void(const TiXmlElement*)> find = [&](const TiXmlElement* e) {
      for (const TiXmlElement* c = e->FirstChildElement("child"); c && picture.empty(); c = c->NextSiblingElement("child")) {
        if (c->Attribute("name") && std::string(c->Attribute("name")) == "Pic_puzzle_combo_black") {
          const TiXmlElement* asset = c->FirstChildElement("asset");
          picture = asset && asset->GetText() ? asset->GetText() : "-";
          return;
        }
        find(c);
      }
    };
    find(doc.RootElement()->FirstChildElement("base"));
    ASSERT_NE(picture, "-") << "the combo panel has no picture";
    int w = 0, h = 0, n = 0;
    stbi_uc* rgba = stbi_load(Find(picture).string().c_str(), &w, &h, &n, 4);
    ASSERT_NE(rgba, nullptr) << picture;
    auto captionPixels = [&](const ScreenRect& number) {
      int light = 0;
      for (int y = 0; y < number.top - panel.top && y < h; ++y)
        for (int x = number.left - panel.left; x < number.right - panel.left && x < w; ++x) {
          const stbi_uc* p = rgba + (y * w + x) * 4;
          light += p[0] > 140 && p[1] > 160 && p[2] > 190;
        }
      return light;
    };
    EXPECT_GT(captionPixels(count), 40) << "no caption over the combo count";
    EXPECT_GT(captionPixels(ScreenRect{rate1.left, rate1.top, rate2.right, rate2.bottom}), 40) << "no caption over the rate";
    stbi_image_free(rgba);
    ++layouts;
  }
  EXPECT_EQ(layouts, 9);
}

// The board's refill row waits one cell (45 pixels) above the board and falls in. In battle the
// lane lies above the board's frame, so the lane's backdrop is drawn after the board and covers
// that row down to the frame's top band (the 16 pixels of frame over the board).
TEST(RunFolderTest, BattleRefillRowsFallFromUnderTheLane) {
  for (const char* layout : {"LayoutBattleCom.xml", "LayoutBattleUser.xml"}) {
    SCOPED_TRACE(layout);
    TiXmlDocument doc;
    ASSERT_TRUE(LoadXml(doc, Find(layout)));
    const std::vector<std::string> order = runfolder::ChildNames(doc.RootElement()->FirstChildElement("base"), "child", "name");
    const auto board = std::find(order.begin(), order.end(), "Wnd_PuzzleArea");
    const auto lane = std::find(order.begin(), order.end(), "Pic_background_2");
    ASSERT_TRUE(board != order.end() && lane != order.end());
    EXPECT_LT(board - order.begin(), lane - order.begin()) << "the board is drawn over the lane";
    const ScreenRect area = WindowRect(layout, "Wnd_PuzzleArea"), back = WindowRect(layout, "Pic_background_2");
    const ScreenRect row{area.left, area.top - 45, area.right, area.top - 18};
    const std::vector<ScreenRect> covered = OpaquePixels("battle_lane_back.png", back.left, back.top);
    const auto inRow = std::count_if(covered.begin(), covered.end(), [&](const ScreenRect& p) { return p.Meets(row); });
    EXPECT_EQ(inRow, static_cast<long>(row.right - row.left) * (row.bottom - row.top)) << "the lane leaves the row in view";
  }
}

// The easy battle's rival (mode 1, the battle configuration's second stage) must be beaten: its
// ghost loops, so waiting never wins (a replay that ends is won by surviving it), and its tower
// is thin enough for a beginner's few clears.
TEST(RunFolderTest, TheFirstRivalIsBeatenNotOutlasted) {
  TiXmlDocument config;
  ASSERT_TRUE(LoadXml(config, Find("QuiblyConfig_Battle.xml")));
  const TiXmlElement* stage = config.RootElement()->FirstChildElement("StageList")->FirstChildElement("Stage");
  ASSERT_NE(stage, nullptr);
  stage = stage->NextSiblingElement("Stage");
  ASSERT_NE(stage, nullptr);
  TiXmlDocument ghost;
  ASSERT_TRUE(LoadXml(ghost, Find(std::filesystem::path(stage->Attribute("file")).filename().string())));
  const char* loop = ghost.RootElement()->Attribute("loop");
  EXPECT_TRUE(loop == nullptr || runfolder::Upper(loop) == "TRUE") << stage->Attribute("name");
  int hp = 1000;
  ghost.RootElement()->QueryIntAttribute("HP", &hp);
  EXPECT_LE(hp, 500);
}
