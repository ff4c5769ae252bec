#include "GameArt.h"
namespace art {
static std::vector<Picture> Blank(std::initializer_list<std::pair<int,int>> s){std::vector<Picture> v; for(auto p:s) v.push_back(BlankPicture(p.first,p.second,0x808080)); return v;}
std::vector<Picture> DrawProjectiles(){return Blank({{52,28},{30,29},{26,26},{60,60},{25,25},{56,139},{280,35},{27,27},{20,45},{256,32},{375,420},{35,35},{235,225},{50,70},{15,35}});}
std::vector<Picture> DrawAsteroids(){return Blank({{288,31},{592,52}});}
std::vector<Picture> DrawHitSparks(){return Blank({{256,16},{256,16},{256,16}});}
std::vector<Picture> DrawExplosions(){return Blank({{1024,64},{1024,64},{1024,64}});}
std::vector<Picture> DrawBonuses(){return Blank({{464,66},{480,64},{448,56},{496,58},{464,56},{448,58},{448,58},{560,68},{464,60}});}
std::vector<Picture> DrawGunIcons(){return Blank({{56,40},{56,40},{56,40},{56,50},{56,40}});}
void DrawMissileBody(cairo_t*, double, double, double, double, int){}
}
