-- Prints mpv's own frame counts when it quits (at the end of --length or on a signal), for
-- bench/display: frames dropped by the output and by the decoder, and the frames shown (the
-- frames played less those dropped). Read once, as the file is unloaded: the properties are gone
-- by the end-file and shutdown events.
-- "estimated-frame-number" is the index of the frame on screen (the first is 0), computed from
-- the frame rate and the timestamps; on a clip of constant rate it is the count played, less one.
local output, decoder, played = -1, -1, 0
-- "mpv_playing" once, at the first playback restart (its first frame goes up), for a bench that
-- times its span of playback from there.
local playing = false
mp.register_event("playback-restart", function()
    if playing then return end
    playing = true
    io.stdout:write("mpv_playing\n")
    io.stdout:flush()
end)
mp.add_hook("on_unload", 50, function()
    output = mp.get_property_number("frame-drop-count", output)
    decoder = mp.get_property_number("decoder-frame-drop-count", decoder)
    local frame = mp.get_property_number("estimated-frame-number")
    if frame then played = frame + 1 end
end)
mp.register_event("shutdown", function()
    io.stdout:write(string.format("mpv_output_drops %d\nmpv_decoder_drops %d\nmpv_shown %d\n", output, decoder,
        math.max(0, played - math.max(0, output) - math.max(0, decoder))))
end)
