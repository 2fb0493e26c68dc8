#pragma once

// Each group of endpoints registers its routes on the server; a new group is a new file
// with one such function, called from the server's constructor.

namespace velloran::standin {

class StandinServer;

void registerAccountRoutes(StandinServer &server);   // /authorize, /api/token
void registerWebApiRoutes(StandinServer &server);    // /v1/me, albums, playlists
void registerControlRoutes(StandinServer &server);   // /standin/...: scripting from outside
void registerCoverRoutes(StandinServer &server);     // /covers/{id}/{size}: generated cover images
void registerPlayerRoutes(StandinServer &server);    // /v1/me/player/..., the SDK script and its push channel

} // namespace velloran::standin
