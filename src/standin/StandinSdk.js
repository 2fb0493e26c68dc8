// The loopback stand-in's playback SDK. It offers the player surface of the real SDK,
// registers a device with the stand-in over a WebSocket, carries out the stand-in's
// commands, keeps the position in real time and plays a quiet tone per track.
(function () {
  "use strict";
  // Filled in by the stand-in when it serves the script.
  const socketUrl = "@PUSH_URL@";
  const errorKinds = ["initialization_error", "authentication_error", "account_error", "playback_error"];

  class Player {
    constructor(options) {
      options = options || {};
      this._name = String(options.name || "Web Player");
      this._getOAuthToken = options.getOAuthToken;
      this._volume = typeof options.volume === "number" ? options.volume : 1;
      this._listeners = {};
      this._socket = null;
      this._deviceId = null;
      this._tracks = [];
      this._index = 0;
      this._paused = true;
      this._anchorMs = 0;
      this._anchorAt = 0;
      this._endTimer = null;
      this._audio = null;
      this._tone = null;
    }

    addListener(event, callback) {
      (this._listeners[event] = this._listeners[event] || []).push(callback);
      return true;
    }
    on(event, callback) { return this.addListener(event, callback); }
    removeListener(event, callback) {
      if (!callback) delete this._listeners[event];
      else this._listeners[event] = (this._listeners[event] || []).filter(function (c) { return c !== callback; });
      return true;
    }

    _emit(event, payload) {
      (this._listeners[event] || []).slice().forEach(function (callback) {
        try { callback(payload); } catch (e) { setTimeout(function () { throw e; }); }
      });
    }

    connect() {
      const self = this;
      if (self._socket) return Promise.resolve(true);
      if (typeof self._getOAuthToken !== "function") {
        self._emit("initialization_error", { message: "getOAuthToken is not a function" });
        return Promise.resolve(false);
      }
      return new Promise(function (resolve) {
        self._getOAuthToken(function (token) {
          let socket;
          try { socket = new WebSocket(socketUrl); } catch (e) {
            self._emit("initialization_error", { message: "Cannot reach the player service" });
            resolve(false);
            return;
          }
          self._socket = socket;
          let settled = false;
          const settle = function (value) { if (!settled) { settled = true; resolve(value); } };
          socket.onopen = function () {
            socket.send(JSON.stringify({ type: "register", name: self._name, token: String(token) }));
            settle(true);
          };
          socket.onerror = function () { settle(false); };
          socket.onclose = function () {
            self._socket = null;
            self._stopTone();
            self._clearEndTimer();
            if (self._deviceId) {
              const id = self._deviceId;
              self._deviceId = null;
              self._emit("not_ready", { device_id: id });
            }
            settle(false);
          };
          socket.onmessage = function (event) {
            let message;
            try { message = JSON.parse(event.data); } catch (e) { return; }
            self._receive(message);
          };
        });
      });
    }

    disconnect() {
      if (this._socket) this._socket.close();
    }

    _receive(message) {
      if (message.type === "registered") {
        this._deviceId = message.device_id;
        this._emit("ready", { device_id: message.device_id });
      } else if (message.type === "error") {
        const kind = errorKinds.indexOf(message.kind) >= 0 ? message.kind : "playback_error";
        this._emit(kind, { message: String(message.message) });
      } else if (message.type === "play") {
        this._play(message.tracks || [], message.index || 0, message.position_ms || 0);
      }
    }

    _now() { return performance.now(); }

    _position() {
      const track = this._tracks[this._index];
      if (!track) return 0;
      const elapsed = this._paused ? 0 : this._now() - this._anchorAt;
      return Math.max(0, Math.min(track.duration_ms, Math.floor(this._anchorMs + elapsed)));
    }

    _setAnchor(ms) {
      this._anchorMs = ms;
      this._anchorAt = this._now();
    }

    _state() {
      const track = this._tracks[this._index];
      if (!track) return null;
      const asTrack = function (t) { return { uri: t.uri, id: t.uri.split(":").pop(), name: t.uri, linked_from: { uri: null, id: null } }; };
      return {
        paused: this._paused,
        position: this._position(),
        duration: track.duration_ms,
        shuffle: false,
        repeat_mode: 0,
        timestamp: Date.now(),
        track_window: {
          current_track: asTrack(track),
          previous_tracks: this._tracks.slice(Math.max(0, this._index - 2), this._index).map(asTrack),
          next_tracks: this._tracks.slice(this._index + 1, this._index + 3).map(asTrack)
        }
      };
    }

    _changed() { this._emit("player_state_changed", this._state()); }

    _play(tracks, index, positionMs) {
      this._tracks = tracks.filter(function (t) { return t && typeof t.uri === "string"; });
      this._index = Math.min(Math.max(0, index), Math.max(0, this._tracks.length - 1));
      this._paused = false;
      this._setAnchor(positionMs);
      this._scheduleEnd();
      this._startTone();
      this._changed();
    }

    _clearEndTimer() {
      if (this._endTimer !== null) clearTimeout(this._endTimer);
      this._endTimer = null;
    }

    _scheduleEnd() {
      this._clearEndTimer();
      const track = this._tracks[this._index];
      if (!track || this._paused) return;
      const self = this;
      const remaining = Math.max(0, track.duration_ms - this._position());
      this._endTimer = setTimeout(function () { self._trackEnded(); }, remaining);
    }

    _trackEnded() {
      this._endTimer = null;
      if (this._index + 1 < this._tracks.length) {
        this._index += 1;
        this._setAnchor(0);
        this._scheduleEnd();
        this._startTone();
      } else {
        // The service reports the end of its queue as the last track, paused at 0.
        this._paused = true;
        this._setAnchor(0);
        this._stopTone();
      }
      this._changed();
    }

    _context() {
      if (!this._audio) {
        const Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return null;
        this._audio = new Context();
      }
      if (this._audio.state === "suspended") this._audio.resume().catch(function () {});
      return this._audio;
    }

    _startTone() {
      this._stopTone();
      const context = this._context();
      const track = this._tracks[this._index];
      if (!context || !track) return;
      let hash = 0;
      for (let i = 0; i < track.uri.length; ++i) hash = (hash * 31 + track.uri.charCodeAt(i)) >>> 0;
      const oscillator = context.createOscillator();
      const gain = context.createGain();
      oscillator.type = "sine";
      oscillator.frequency.value = 220 * Math.pow(2, (hash % 12) / 12);
      gain.gain.value = 0.04 * this._volume;
      oscillator.connect(gain).connect(context.destination);
      oscillator.start();
      this._tone = { oscillator: oscillator, gain: gain };
    }

    _stopTone() {
      if (!this._tone) return;
      try { this._tone.oscillator.stop(); } catch (e) { /* already stopped */ }
      this._tone.gain.disconnect();
      this._tone = null;
    }

    activateElement() {
      this._context();
      return Promise.resolve();
    }

    getCurrentState() { return Promise.resolve(this._state()); }

    pause() {
      if (this._tracks.length && !this._paused) {
        this._setAnchor(this._position());
        this._paused = true;
        this._clearEndTimer();
        this._stopTone();
        this._changed();
      }
      return Promise.resolve();
    }

    resume() {
      if (this._tracks.length && this._paused) {
        this._paused = false;
        this._setAnchor(this._anchorMs);
        this._scheduleEnd();
        this._startTone();
        this._changed();
      }
      return Promise.resolve();
    }

    togglePlay() { return this._paused ? this.resume() : this.pause(); }

    seek(positionMs) {
      const track = this._tracks[this._index];
      if (track) {
        this._setAnchor(Math.max(0, Math.min(track.duration_ms, Math.floor(Number(positionMs) || 0))));
        this._scheduleEnd();
        this._changed();
      }
      return Promise.resolve();
    }

    nextTrack() {
      if (this._index + 1 < this._tracks.length) { this._clearEndTimer(); this._trackEnded(); }
      return Promise.resolve();
    }

    previousTrack() {
      if (this._index > 0) {
        this._index -= 1;
        this._setAnchor(0);
        this._scheduleEnd();
        if (!this._paused) this._startTone();
        this._changed();
      }
      return Promise.resolve();
    }

    getVolume() { return Promise.resolve(this._volume); }
    setVolume(volume) {
      this._volume = Math.max(0, Math.min(1, Number(volume) || 0));
      if (this._tone) this._tone.gain.gain.value = 0.04 * this._volume;
      return Promise.resolve();
    }
  }

  window.Spotify = { Player: Player };
  setTimeout(function () {
    if (typeof window.onSpotifyWebPlaybackSDKReady === "function") window.onSpotifyWebPlaybackSDKReady();
  }, 0);
})();
