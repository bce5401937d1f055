-- Prints mpv's own frame counts when it quits, for bench/display: frames dropped by the output
-- and by the decoder, and the frames shown (the frames played less those dropped). The
-- properties are gone by then, so they are sampled while playing, often enough to miss at most two frames.
local output, decoder, played = -1, -1, 0
local function sample()
    output = mp.get_property_number("frame-drop-count", output)
    decoder = mp.get_property_number("decoder-frame-drop-count", decoder)
    local frame = mp.get_property_number("estimated-frame-number")
    if frame then played = math.max(played, frame) end
end
mp.add_periodic_timer(0.05, sample)
mp.register_event("end-file", sample)
mp.register_event("shutdown", function()
    io.stdout:write(string.format("mpv_output_drops %d\nmpv_decoder_drops %d\nmpv_shown %d\n", output, decoder,
        math.max(0, played - math.max(0, output) - math.max(0, decoder))))
end)
